// The inputs of the options dialog, one per row of the option table, made
// by the row's kind: a check box for a switch, a number field for a
// distance, an angle or an integer, a line for a text, a list for a
// choice, the word boxes for the EASTRAY option string, a line and a browse
// button for a file name. Each takes the
// row's value from the settings, gives it back, and notes what it shows so
// that Cancel can put it back.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "convert/option_table.h"

class QCheckBox;
class QLabel;
class QWidget;

namespace vertoko {

class OptionInput {
  public:
    explicit OptionInput(const OptionRow& row) : row_(row) {}
    virtual ~OptionInput() = default;
    OptionInput(const OptionInput&) = delete;
    OptionInput& operator=(const OptionInput&) = delete;

    const OptionRow& Row() const { return row_; }

    // The widget that takes the value, and the label of its caption (null
    // for a check box, which shows its own, and for a row without caption).
    virtual QWidget* Input() const = 0;
    virtual QLabel* Label() const { return nullptr; }

    // Shows the row's value in settings.
    virtual void Set(const AppSettings& settings) = 0;
    // Takes the shown value into settings. A value cut or held to what the
    // option takes is shown as it was kept.
    virtual void Get(AppSettings& settings) = 0;

    virtual void Note() = 0;
    virtual void Restore() = 0;

    // Why the shown value cannot be taken (a number outside the row's
    // range), or empty when it can.
    virtual std::string Refusal() const { return {}; }

    // For a row that a switch enables: the input and its label usable or
    // not; the value stays as it is.
    virtual void SetUsable(bool usable);

  protected:
    const OptionRow& row_;
};

// The input for row with its widgets made as children of parent; null for
// a kind the dialog does not edit (colours, in the colour dialog).
std::unique_ptr<OptionInput> MakeOptionInput(const OptionRow& row, QWidget* parent);

}  // namespace vertoko
