// TOptDlg: the conversion options dialog. Created once; filled from the main
// window's options at its first opening (SetOpt); notes its values before
// every showing (OptBack) and puts them back on Cancel or the close box;
// after OK the main window takes the values with Getopt.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "export/pov_option.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace vertoko {

class TNumEdit;

// The reading and output switches the dialog holds besides the original
// options (whose values travel through SetOpt and Getopt).
struct ExtraOptions {
    std::int32_t dxfSkip = 0;
    std::int32_t dxfInsert = 0;
    std::int32_t dxfColor = 0;
    std::int32_t dxfOrient = 0;
    std::int32_t objNormal = 0;
};

class TOptDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TOptDlg(QWidget* parent = nullptr);

    void SetOpt(std::int32_t dxfMulti, std::int32_t dxfClv, const vertoko::PovOption& povOpt,
                const std::string& estrOpt, float dxfVdist);
    // The extra switches at the first opening, beside SetOpt; after OK
    // beside Getopt.
    void SetExtraOpt(const ExtraOptions& extra);
    void OptBack();
    void Getopt(std::int32_t& dxfMulti, std::int32_t& dxfClv, vertoko::PovOption& povOpt,
                std::string& estrOpt, float& dxfVdist);
    void GetExtraOpt(ExtraOptions& extra) const;

    void ChkClvClick();
    void ChkPsmClick();
    void ChkKoptClick();
    void ChkCoptClick();
    void CanBtnClick();

    // The close box and Escape end the dialog like Cancel, values put back.
    void reject() override;

    QGroupBox* GroupDxf;
    QCheckBox* ChkMobj;
    QCheckBox* ChkClv;
    TNumEdit* Vdist;
    QCheckBox* ChkSkip;
    QCheckBox* ChkInsert;
    QCheckBox* ChkColor;
    QCheckBox* ChkOrient;
    QGroupBox* GroupEstray;
    QCheckBox* ChkSopt;
    QCheckBox* ChkKopt;
    TNumEdit* Kvalue;
    QCheckBox* ChkNopt;
    QCheckBox* ChkCopt;
    QLineEdit* ColName;
    QGroupBox* GroupPov;
    QCheckBox* ChkPsm;
    QLabel* LabelCrease;
    TNumEdit* Crease;
    QLabel* Label1;
    QLineEdit* PovOpt;
    QCheckBox* ChkMesh2;
    QCheckBox* ChkFit;
    QGroupBox* GroupObj;
    QCheckBox* ChkObjNormal;
    QPushButton* OkBtn;
    QPushButton* CanBtn;

  private:
    void RestoreNoted();

    // Values noted by OptBack; check-box states are noted per box.
    struct Noted {
        bool mobj = false, clv = false, sopt = false, kopt = false;
        bool nopt = false, copt = false, psm = false;
        bool skip = false, insert = false, color = false, orient = false;
        bool mesh2 = false, fit = false, objNormal = false;
        std::int64_t crease = 0;
        std::int64_t vdist = 0;
        std::int64_t kvalue = 0;
        QString colName;
        QString povOpt;
    } noted_;
    bool hasNoted_ = false;  // nothing to put back before the first OptBack
};

}  // namespace vertoko
