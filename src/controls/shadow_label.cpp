#include "controls/shadow_label.h"

#include <QImage>
#include <QPainter>

#include "controls/gradient.h"

namespace vertoko {

TShadowLabel::TShadowLabel(QWidget* parent) : QLabel(parent) {
    highlight_ = new TShadow;
    highlight_->SetShadowColor(clWhite);
    highlight_->SetShadowLeft(-1);
    highlight_->SetShadowTop(-1);
    shadow_ = new TShadow;
    highlight_->OnChange = [this](TShadow* sender) { ShadowChanged(sender); };
    shadow_->OnChange = [this](TShadow* sender) { ShadowChanged(sender); };
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

TShadowLabel::~TShadowLabel() {
    delete highlight_;
    delete shadow_;
}

void TShadowLabel::Invalidate() {
    ++repaintRequests_;
    update();
}

void TShadowLabel::ShadowChanged(TShadow*) { Invalidate(); }

void TShadowLabel::SetEllipsis(TEllipsis ellipsis) {
    if (ellipsis == ellipsis_) return;
    ellipsis_ = ellipsis;
    Invalidate();
}

void TShadowLabel::SetFlickerless(bool flickerless) {
    if (flickerless == flickerless_) return;
    flickerless_ = flickerless;
    Invalidate();
}

void TShadowLabel::SetGradateVert(bool vertical) {
    if (vertical == gradateVert_) return;
    gradateVert_ = vertical;
    Invalidate();
}

void TShadowLabel::SetGradation(bool gradation) {
    if (gradation == gradation_) return;
    gradation_ = gradation;
    Invalidate();
}

void TShadowLabel::SetGradationColor(TColor color) {
    if (color == gradationColor_) return;
    gradationColor_ = color;
    Invalidate();
}

void TShadowLabel::SetHighlight(const TShadow* highlight) {
    if (highlight == nullptr) return;
    highlight_->Assign(*highlight);  // repaints through OnChange
}

void TShadowLabel::SetShadow(const TShadow* shadow) {
    if (shadow == nullptr) return;
    shadow_->Assign(*shadow);
}

void TShadowLabel::SetTextGradation(TTextGradation mode) {
    if (mode == textGradation_) return;
    textGradation_ = mode;
    Invalidate();
}

void TShadowLabel::SetTextGradationColor(TColor color) {
    if (color == textGradationColor_) return;
    textGradationColor_ = color;
    if (textGradation_ != TTextGradation::tgNone) Invalidate();
}

void TShadowLabel::SetTextMidColor(TColor color) {
    if (color == textMidColor_) return;
    textMidColor_ = color;
    if (textGradation_ == TTextGradation::tg3Colors) Invalidate();
}

void TShadowLabel::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TShadowLabel::SetFontColor(TColor color) {
    if (color == fontColor_) return;
    fontColor_ = color;
    Invalidate();
}

void TShadowLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
    Invalidate();
}

void TShadowLabel::SetLayout(TTextLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    Invalidate();
}

int TShadowLabel::TextFlags() const {
    int flags = Qt::TextExpandTabs;
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight)
        flags |= Qt::AlignRight;
    else if (horizontal & Qt::AlignHCenter)
        flags |= Qt::AlignHCenter;
    else
        flags |= Qt::AlignLeft;
    if (wordWrap()) flags |= Qt::TextWordWrap;
    // An '&' marks the accelerator character, as on a plain label.
    flags |= Qt::TextShowMnemonic;
    return flags;
}

void TShadowLabel::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    Paint(canvas);
}

void TShadowLabel::Paint(QPainter& canvas) {
    QString caption = text();
    if (caption.isEmpty() || caption == QStringLiteral("&")) caption += QLatin1Char(' ');
    const QRect client = rect();
    if (client.isEmpty()) return;

    const bool offscreen = flickerless_ && !transparent_;
    QImage bitmap;
    QPainter bitmapPainter;
    QPainter* surface = &canvas;
    if (offscreen) {
        // One image pixel per device pixel, so that text stays sharp on
        // scaled screens.
        const qreal ratio = canvas.device() ? canvas.device()->devicePixelRatioF() : 1.0;
        bitmap = QImage(client.size() * ratio, QImage::Format_BGR888);
        bitmap.setDevicePixelRatio(ratio);
        if (gradation_)
            GradBitmap({bitmap.bits(), bitmap.width(), bitmap.height(), int(bitmap.bytesPerLine())},
                       gradationColor_, color_, gradateVert_);
        else
            bitmap.fill(ToQColor(color_));
        bitmapPainter.begin(&bitmap);
        surface = &bitmapPainter;
    } else if (!transparent_) {
        if (gradation_)
            GradRect(canvas, client, gradationColor_, gradateVert_, color_);
        else
            canvas.fillRect(client, ToQColor(color_));
    }

    surface->setFont(font());
    surface->setBrush(Qt::NoBrush);
    const QFontMetrics metrics(font());
    const int flags = TextFlags();
    if (ellipsis_ != TEllipsis::elNone && !wordWrap()) {
        const Qt::TextElideMode mode =
            ellipsis_ == TEllipsis::elEnd ? Qt::ElideRight : Qt::ElideMiddle;
        caption = metrics.elidedText(caption, mode, client.width(), flags & Qt::TextShowMnemonic);
    }

    const int textHeight = metrics.boundingRect(client, flags, caption).height();
    QRect textRect = client;
    if (layout_ == TTextLayout::tlCenter)
        textRect.translate(0, (height() - textHeight) / 2);
    else if (layout_ == TTextLayout::tlBottom)
        textRect.translate(0, height() - textHeight);

    TColor textColor = fontColor_;
    TColor shadowColor = shadow_->Color();
    TColor highlightColor = highlight_->Color();
    if (!isEnabled()) {
        textColor = clBtnShadow;
        shadowColor = clGray;
        highlightColor = clBtnHighlight;
    }

    if (shadow_->Visible()) {
        surface->setPen(ToQColor(shadowColor));
        surface->drawText(textRect.translated(shadow_->OffsetLeft(), shadow_->OffsetTop()), flags,
                          caption);
    }
    if (highlight_->Visible()) {
        surface->setPen(ToQColor(highlightColor));
        surface->drawText(textRect.translated(highlight_->OffsetLeft(), highlight_->OffsetTop()),
                          flags, caption);
    }

    // The gradient starts at the font colour even on a disabled label.
    const std::vector<GradientChar> colored =
        TextGradientColors(caption, textGradation_, ResolveColor(fontColor_),
                           ResolveColor(textMidColor_), ResolveColor(textGradationColor_));
    if (colored.empty()) {
        surface->setPen(ToQColor(textColor));
        surface->drawText(textRect, flags, caption);
    } else {
        // Each character goes into what is left of the rectangle, placed
        // there by the caption's own alignment flags.
        QRect charRect = textRect;
        for (const GradientChar& c : colored) {
            surface->setPen(ToQColor(c.color));
            surface->drawText(charRect, flags, c.text);
            charRect.setLeft(charRect.left() + metrics.horizontalAdvance(c.text));
        }
    }

    if (offscreen) {
        bitmapPainter.end();
        canvas.drawImage(client.topLeft(), bitmap);
    }
}

}  // namespace vertoko
