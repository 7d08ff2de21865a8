// TOptDlg: the conversion options dialog. Created once; its inputs are made
// from the option table's rows (every group but the preview colours), one
// input per row by its kind, laid out in a group box per group. Filled from
// the main window's settings at its first opening (SetOpt); notes its values
// before every showing (OptBack) and puts them back on Cancel, Escape or the
// close box; after OK the main window takes the values with Getopt.
#pragma once

#include <QDialog>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/option_table.h"
#include "convert/settings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vertoko {

class OptionInput;

class TOptDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TOptDlg(QWidget* parent = nullptr);
    ~TOptDlg() override;

    // Shows the values settings holds for the dialog's rows.
    void SetOpt(const AppSettings& settings);
    void OptBack();
    // Takes the shown values into settings. A value whose switch is off
    // (the distance without cleaning, the angle without smoothing) keeps
    // what settings holds.
    void Getopt(AppSettings& settings);

    void CanBtnClick();

    // The close box and Escape end the dialog like Cancel, values put back.
    void reject() override;
    // OK: a usable number outside its range is refused in the number
    // error box and keeps the dialog open with the number selected.
    void accept() override;

    // The input of the table row with key (ASCII case ignored) as a W: a
    // QCheckBox for a switch, a TNumEdit for a number, a QLineEdit for a
    // text, a QComboBox for a choice, an EstrayOptionsBox for the EASTRAY
    // option string. Null when the dialog has no such input.
    template <class W>
    W* Input(std::string_view key) const {
        return qobject_cast<W*>(InputWidget(key));
    }
    // The caption label beside or above the row's input, if it has one.
    QLabel* Caption(std::string_view key) const;
    QGroupBox* Group(OptionGroup group) const;

    QPushButton* OkBtn;
    QPushButton* CanBtn;

  private:
    OptionInput* Find(std::string_view key) const;
    QWidget* InputWidget(std::string_view key) const;
    QCheckBox* SwitchOf(const OptionInput& input) const;
    void RestoreNoted();

    std::vector<std::unique_ptr<OptionInput>> inputs_;  // in showing order
    std::vector<std::pair<OptionGroup, QGroupBox*>> groups_;
    bool hasNoted_ = false;  // nothing to put back before the first OptBack
};

}  // namespace vertoko
