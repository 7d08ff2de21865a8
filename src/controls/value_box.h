// TValueBox: a bordered box for a signed 16-bit whole number within a range.
// The user types the number digit by digit (the last digit blinks while the
// box has the focus) or steps it with the arrow buttons at the right edge.
// The typed entry becomes Value on the space key, on focus loss and before
// an arrow step; a number out of range is refused and, with ShowMessageBox,
// reported in a message box. The number logic lives in ValueEntry.
#pragma once

#include <QFrame>
#include <cstdint>
#include <functional>
#include <string>

#include "controls/colors.h"
#include "controls/value_entry.h"

class QTimer;
class QToolButton;

namespace vertoko {

class TValueBox;

// The two arrow buttons stacked at the value box's right edge.
class TUpDown : public QWidget {
    Q_OBJECT

  public:
    enum class Button { Up, Down };
    explicit TUpDown(QWidget* parent = nullptr);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }
    std::function<void(Button)> OnClick;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};

// The area that shows the number; it paints through its value box.
class TValuePaintBox : public QWidget {
    Q_OBJECT

  public:
    explicit TValuePaintBox(TValueBox* owner);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    TValueBox* owner_;
};

class TValueBox : public QFrame {
    Q_OBJECT

  public:
    explicit TValueBox(QWidget* parent = nullptr);

    std::int16_t Max() const { return entry_.Max(); }
    void SetMax(std::int16_t max) { entry_.SetMax(max); }
    std::int16_t Min() const { return entry_.Min(); }
    void SetMin(std::int16_t min) { entry_.SetMin(min); }
    bool ShowUpDown() const { return showUpDown_; }
    void SetShowUpDown(bool show);
    bool ShowMessageBox() const { return showMessageBox_; }
    void SetShowMessageBox(bool show) { showMessageBox_ = show; }
    std::int32_t UpDownWidth() const { return upDownWidth_; }
    std::int16_t Value() const { return entry_.Value(); }
    void SetValue(std::int16_t value) { entry_.SetValue(value); }
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // Called after every commit, taken or refused.
    std::function<void(TValueBox* sender)> OnChange;

    const ValueEntry& Entry() const { return entry_; }
    bool CaretOn() const { return caretOn_; }
    QTimer* Timer() const { return timer_; }
    TUpDown* UpDown() const { return upDown_; }
    TValuePaintBox* PaintBox() const { return paintBox_; }

    // 50 pixels wide and as high as the font asks: point size + 11.
    QSize sizeHint() const override;

    void ArrangeControl();
    void OnTimer();
    void OnUpDownClick(TUpDown::Button button);

    // Where the range message goes. The default shows an information box
    // with an OK button; tests replace it. An empty handler restores it.
    using MessageHandler =
        std::function<void(QWidget* parent, const std::string& text, const std::string& caption)>;
    static void SetMessageHandler(MessageHandler handler);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend class TValuePaintBox;
    void OnPaint(QPainter& canvas);
    void ReportRange();

    ValueEntry entry_;
    TUpDown* upDown_ = nullptr;
    TValuePaintBox* paintBox_ = nullptr;
    QTimer* timer_ = nullptr;
    bool showUpDown_ = true;
    bool showMessageBox_ = false;
    std::int32_t upDownWidth_ = 15;
    Qt::Alignment alignment_ = Qt::AlignRight;
    TColor color_ = clWindow;
    bool caretOn_ = false;
    bool arranging_ = false;
};

}  // namespace vertoko
