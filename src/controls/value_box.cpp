#include "controls/value_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

namespace vertoko {

namespace {

TValueBox::MessageHandler& CurrentMessageHandler() {
    static TValueBox::MessageHandler handler;
    return handler;
}

// The caption of the range message box.
const char* const kRangeCaption = "数値入力について";

// Horizontal place of a text of the given width by the box's alignment.
int AlignedX(Qt::Alignment alignment, int boxWidth, int textWidth) {
    if (alignment & Qt::AlignRight) return boxWidth - textWidth;
    if (alignment & Qt::AlignHCenter) return (boxWidth - textWidth) / 2;
    return 0;
}

}  // namespace

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        // The arrows step the number without taking the focus themselves.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    connect(up_, &QToolButton::clicked, this, [this] {
        if (OnClick) OnClick(Button::Up);
    });
    connect(down_, &QToolButton::clicked, this, [this] {
        if (OnClick) OnClick(Button::Down);
    });
}

void TUpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

TValuePaintBox::TValuePaintBox(TValueBox* owner) : QWidget(owner), owner_(owner) {}

void TValuePaintBox::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    owner_->OnPaint(canvas);
}

void TValuePaintBox::mousePressEvent(QMouseEvent*) { owner_->setFocus(Qt::MouseFocusReason); }

TValueBox::TValueBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    timer_ = new QTimer(this);
    timer_->setInterval(750);
    connect(timer_, &QTimer::timeout, this, &TValueBox::OnTimer);
    upDown_ = new TUpDown(this);
    upDown_->OnClick = [this](TUpDown::Button button) { OnUpDownClick(button); };
    paintBox_ = new TValuePaintBox(this);
    entry_.OnRangeError = [this] { ReportRange(); };
    entry_.OnChanged = [this] {
        paintBox_->update();
        if (OnChange) OnChange(this);
    };
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(50, 20);
    ArrangeControl();
}

QSize TValueBox::sizeHint() const { return QSize(50, font().pointSize() + 11); }

void TValueBox::SetMessageHandler(MessageHandler handler) {
    CurrentMessageHandler() = std::move(handler);
}

void TValueBox::ReportRange() {
    if (!showMessageBox_) return;
    const std::string text = entry_.RangeMessage();
    if (CurrentMessageHandler()) {
        CurrentMessageHandler()(this, text, kRangeCaption);
        return;
    }
    QMessageBox::information(this, QString::fromUtf8(kRangeCaption), QString::fromStdString(text),
                             QMessageBox::Ok);
}

void TValueBox::SetShowUpDown(bool show) {
    showUpDown_ = show;
    upDown_->setVisible(show);
    ArrangeControl();
}

void TValueBox::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment & Qt::AlignHorizontal_Mask;
    paintBox_->update();
}

void TValueBox::SetColor(TColor color) {
    color_ = color;
    paintBox_->update();
}

void TValueBox::ArrangeControl() {
    const QRect client = contentsRect();
    const int split = client.right() + 1 - upDownWidth_;
    upDown_->setGeometry(QRect(QPoint(split, client.top()), client.bottomRight()));
    QRect number = client;
    if (showUpDown_) number.setRight(split - 1);
    paintBox_->setGeometry(number);
    // The font follows the height; the font change must not resize again.
    const int points = height() - 11;
    if (points > 0 && font().pointSize() != points) {
        arranging_ = true;
        QFont sized = font();
        sized.setPointSize(points);
        setFont(sized);
        arranging_ = false;
    }
}

void TValueBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    ArrangeControl();
}

void TValueBox::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange && !arranging_ && font().pointSize() > 0)
        resize(width(), font().pointSize() + 11);
}

void TValueBox::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    timer_->start();
    caretOn_ = true;
    paintBox_->update();
}

void TValueBox::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    timer_->stop();
    caretOn_ = false;
    entry_.SetValue(entry_.Entry());
    paintBox_->update();
}

void TValueBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        entry_.KeyDown(ValueKey::Digit, key - Qt::Key_0);
    else if (key == Qt::Key_Backspace || key == Qt::Key_Delete)
        entry_.KeyDown(ValueKey::Clear);
    else if (key == Qt::Key_Space)
        entry_.KeyDown(ValueKey::Commit);
    else if (key == Qt::Key_Minus)
        entry_.KeyDown(ValueKey::Minus);
    else {
        // Enter, Escape and the rest go on to the dialog around the box.
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
    paintBox_->update();
}

void TValueBox::OnTimer() {
    caretOn_ = !caretOn_;
    paintBox_->update();
}

void TValueBox::OnUpDownClick(TUpDown::Button button) {
    if (!hasFocus()) setFocus(Qt::OtherFocusReason);
    if (button == TUpDown::Button::Up)
        entry_.StepUp();
    else
        entry_.StepDown();
}

void TValueBox::OnPaint(QPainter& canvas) {
    const QRect box = paintBox_->rect();
    canvas.fillRect(box, ToQColor(color_));
    canvas.setFont(font());
    const QFontMetrics metrics(font());
    const QString shown = QString::fromStdString(entry_.ShownText());
    // The height of any text is the font's full line height.
    const int textHeight = metrics.height();
    const int y = (box.height() - textHeight) / 2;
    const int x = AlignedX(alignment_, box.width(), metrics.horizontalAdvance(shown));
    canvas.setPen(palette().color(QPalette::Text));
    canvas.drawText(QRect(x, y, metrics.horizontalAdvance(shown), textHeight),
                    Qt::AlignLeft | Qt::AlignTop, shown);
    if (!caretOn_) return;
    const QString caret = QString::fromStdString(entry_.CaretText());
    const int caretWidth = metrics.horizontalAdvance(caret);
    const QRect caretBox(AlignedX(alignment_, box.width(), caretWidth), y, caretWidth, textHeight);
    canvas.fillRect(caretBox, ToQColor(clHighlight));
    canvas.setPen(ToQColor(clHighlightText));
    canvas.drawText(caretBox, Qt::AlignLeft | Qt::AlignTop, caret);
}

}  // namespace vertoko
