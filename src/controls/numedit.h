// TNumEdit: a one-line edit for a decimal number with a fixed number of
// decimals. The number (Value) is a signed 64-bit count of ten-thousandths
// and is separate from the text: typing changes only the text; leaving the
// control tidies the text into the display format and takes it as Value.
#pragma once

#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <string>

namespace vertoko {

class TNumEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit TNumEdit(QWidget* owner = nullptr);

    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    bool Thousands() const { return thousands_; }
    void SetThousands(bool thousands);
    void SetDecimalDidits(std::uint8_t decimals);
    std::int64_t Value() const { return value_; }
    void SetValue(std::int64_t value);

    // The focus leaves the control: reformat the text, then take it as
    // Value. False (after the error box) when the text is not a number;
    // the text and Value are then left as they were.
    bool CMExit();

    // Where the "is not a floating-point number" error goes. The default
    // shows the application's critical message box; tests replace it.
    using ErrorHandler = std::function<void(QWidget* parent, const std::string& message)>;
    static void SetErrorHandler(ErrorHandler handler);
    // Reports another refusal of a number (one outside what its field takes)
    // where the "is not a floating-point number" error goes.
    static void ReportError(QWidget* parent, const std::string& message);

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool Reformat();
    void ReportNotAFloat(const std::string& cleaned);

    Qt::Alignment alignment_ = Qt::AlignRight;
    bool thousands_ = false;
    std::uint8_t decimals_ = 0;
    std::int64_t value_ = 0;
    bool exiting_ = false;
};

}  // namespace vertoko
