// EstrayOptionsBox: the EASTRAY option string edited as its words, "s",
// "k" with its value, "n" and "c" with a colour name. The options dialog
// shows it for the table's EstrayString row; the value and the name can
// be used only while their box is checked.
#pragma once

#include <QString>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class QCheckBox;
class QLineEdit;

namespace vertoko {

class TNumEdit;

class EstrayOptionsBox : public QWidget {
    Q_OBJECT

  public:
    // maxBytes: the longest option string, in bytes of UTF-8.
    EstrayOptionsBox(std::size_t maxBytes, QWidget* parent = nullptr);

    // Shows the words of estrOpt as ReadEstrayOptions reads them: every box
    // not named is cleared; a value or name the string does not bring
    // leaves its field as it is.
    void SetOptions(std::string_view estrOpt);

    // The string the boxes build; a colour name cut to fit is shown as it
    // was kept.
    std::string Options();

    // Notes the boxes, the value and the name; Restore puts them back.
    void Note();
    void Restore();

    QCheckBox* ChkSopt;
    QCheckBox* ChkKopt;
    TNumEdit* Kvalue;
    QCheckBox* ChkNopt;
    QCheckBox* ChkCopt;
    QLineEdit* ColName;

  private:
    void FollowBoxes();

    std::size_t maxBytes_;
    struct Noted {
        bool sopt = false, kopt = false, nopt = false, copt = false;
        std::int64_t kvalue = 0;
        QString colName;
    } noted_;
};

}  // namespace vertoko
