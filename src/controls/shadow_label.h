// TShadowLabel: a label that paints its caption up to three times, a shadow
// copy and a highlight copy, each displaced and in its own colour, and the
// text on top, optionally with a colour gradient across the characters. The
// background is a plain colour or a two-colour gradient; by default the
// label paints into an off-screen image and copies it in one step.
#pragma once

#include <QLabel>
#include <cstdint>

#include "controls/colors.h"
#include "controls/shadow.h"
#include "controls/text_gradient.h"

namespace vertoko {

enum class TEllipsis { elNone, elEnd, elPath };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

class TShadowLabel : public QLabel {
    Q_OBJECT

  public:
    explicit TShadowLabel(QWidget* parent = nullptr);
    ~TShadowLabel() override;

    TEllipsis Ellipsis() const { return ellipsis_; }
    void SetEllipsis(TEllipsis ellipsis);
    bool Flickerless() const { return flickerless_; }
    void SetFlickerless(bool flickerless);
    void SetGradateVert(bool vertical);
    bool Gradation() const { return gradation_; }
    void SetGradation(bool gradation);
    TColor GradationColor() const { return gradationColor_; }
    void SetGradationColor(TColor color);
    TShadow& Highlight() { return *highlight_; }
    void SetHighlight(const TShadow* highlight);
    TShadow& Shadow() { return *shadow_; }
    void SetShadow(const TShadow* shadow);
    TTextGradation TextGradation() const { return textGradation_; }
    void SetTextGradation(TTextGradation mode);
    TColor TextGradationColor() const { return textGradationColor_; }
    void SetTextGradationColor(TColor color);
    TColor TextMidColor() const { return textMidColor_; }
    void SetTextMidColor(TColor color);

    // Properties of the plain label that this one paints itself.
    TColor Color() const { return color_; }  // background; end of its gradient
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    void SetTransparent(bool transparent);
    void SetLayout(TTextLayout layout);

    // How many times a property change asked for a repaint.
    int RepaintRequests() const { return repaintRequests_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void ShadowChanged(TShadow* sender);

  private:
    void Invalidate();
    int TextFlags() const;
    void Paint(QPainter& canvas);

    TShadow* highlight_ = nullptr;
    TShadow* shadow_ = nullptr;
    TEllipsis ellipsis_ = TEllipsis::elNone;
    bool flickerless_ = true;
    bool gradateVert_ = false;
    bool gradation_ = false;
    TColor gradationColor_ = clBlue;
    TTextGradation textGradation_ = TTextGradation::tgNone;
    TColor textGradationColor_ = clMaroon;
    TColor textMidColor_ = clNavy;
    TColor color_ = clBtnFace;
    TColor fontColor_ = clWindowText;
    bool transparent_ = false;
    TTextLayout layout_ = TTextLayout::tlTop;
    int repaintRequests_ = 0;
};

}  // namespace vertoko
