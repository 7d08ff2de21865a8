// TURLLabel: a label that behaves like a link. It shows a hand cursor,
// changes its text colour while the pointer is over it (HotColor) and while
// a button is held on it (PushedColor), and with Executable set hands its
// caption to the desktop to open when a mouse button goes down on it.
#pragma once

#include <QLabel>
#include <QString>
#include <functional>

#include "controls/colors.h"

namespace vertoko {

class TURLLabel : public QLabel {
    Q_OBJECT

  public:
    explicit TURLLabel(QWidget* parent = nullptr);

    bool Executable() const { return executable_; }
    void SetExecutable(bool executable) { executable_ = executable; }
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool hotTrack);
    TColor HotColor() const { return hotColor_; }
    void SetHotColor(TColor color);
    TColor PushedColor() const { return pushedColor_; }

    // The text colour, kept in the label's palette.
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    // The font colour noted when the pointer last entered the label.
    TColor SavedColor() const { return savedColor_; }

    // What opening the caption does. The default asks the desktop to open it
    // (a web address, a document or a program) and ignores the outcome;
    // tests replace it. An empty handler restores the default.
    using OpenHandler = std::function<void(const QString& target)>;
    static void SetOpenHandler(OpenHandler handler);

    void CMMouseEnter();
    void CMMouseLeave();
    void MouseDown();
    void MouseUp(const QPoint& position);

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool executable_ = false;
    bool hotTrack_ = true;
    TColor hotColor_ = clAqua;
    TColor pushedColor_ = clRed;
    TColor fontColor_ = clWindowText;
    TColor savedColor_ = clBlack;
};

}  // namespace vertoko
