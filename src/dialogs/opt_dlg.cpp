#include "dialogs/opt_dlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls/numedit.h"
#include "controls/numedit_format.h"
#include "dialogs/dialog_style.h"
#include "dialogs/estray_options.h"

namespace vertoko {

namespace {

QCheckBox* MakeCheck(QWidget* parent, const char* caption, int x, int y, int w) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setGeometry(x, y, w, 17);
    return box;
}

}  // namespace

TOptDlg::TOptDlg(QWidget* parent) : QDialog(parent) {
    vertoko::ApplyDialogFrame(this, QString::fromUtf8("Vertoko - 入出力設定"), 230, 342);
    const QFont inputFont = vertoko::DialogFont(13);

    GroupDxf = new QGroupBox(QString::fromUtf8("DXFｵﾌﾟｼｮﾝ"), this);
    GroupDxf->setGeometry(8, 6, 214, 66);
    ChkMobj = MakeCheck(GroupDxf, "マルチ・オブジェクト", 12, 18, 190);
    ChkClv = MakeCheck(GroupDxf, "頂点クリーン", 12, 42, 96);
    Vdist = new TNumEdit(GroupDxf);
    Vdist->setGeometry(110, 40, 92, 20);
    Vdist->setFont(inputFont);
    Vdist->SetDecimalDidits(5);

    GroupEstray = new QGroupBox(QString::fromUtf8("EASTRAY ｵﾌﾟｼｮﾝ"), this);
    GroupEstray->setGeometry(8, 78, 214, 118);
    ChkSopt = MakeCheck(GroupEstray, "\"s\"（スムース）", 12, 18, 190);
    ChkKopt = MakeCheck(GroupEstray, "\"k\"（法線影響度）", 12, 42, 118);
    Kvalue = new TNumEdit(GroupEstray);
    Kvalue->setGeometry(132, 40, 70, 20);
    Kvalue->setFont(inputFont);
    Kvalue->SetDecimalDidits(4);
    ChkNopt = MakeCheck(GroupEstray, "\"n\"（影無し）", 12, 66, 190);
    ChkCopt = MakeCheck(GroupEstray, "\"c\"（カラー）", 12, 90, 118);
    ColName = new QLineEdit(GroupEstray);
    ColName->setGeometry(132, 88, 70, 20);
    ColName->setFont(inputFont);
    // No name longer than fits beside the " c "; Getopt cuts further to the
    // bytes the option string has left.
    ColName->setMaxLength(static_cast<int>(vertoko::kEstrOptMaxBytes) - 3);

    GroupPov = new QGroupBox(QString::fromUtf8("POV-Rayｵﾌﾟｼｮﾝ"), this);
    GroupPov->setGeometry(8, 202, 214, 98);
    ChkPsm = MakeCheck(GroupPov, "スムース", 12, 18, 190);
    Label1 = new QLabel(QString::fromUtf8("追加ステートメント"), GroupPov);
    Label1->setGeometry(12, 44, 190, 14);
    PovOpt = new QLineEdit(QStringLiteral("pigment { color rgb <1,1,1> }"), GroupPov);
    PovOpt->setGeometry(12, 62, 190, 20);
    PovOpt->setFont(inputFont);
    PovOpt->setMaxLength(static_cast<int>(vertoko::kPovStateMaxBytes));

    OkBtn = new QPushButton(QString::fromUtf8("O K"), this);
    OkBtn->setGeometry(32, 308, 75, 25);
    OkBtn->setDefault(true);
    CanBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CanBtn->setGeometry(123, 308, 75, 25);

    // Enabling follows the box whether a click or code changed its state.
    connect(ChkClv, &QCheckBox::toggled, this, [this] { ChkClvClick(); });
    connect(ChkKopt, &QCheckBox::toggled, this, [this] { ChkKoptClick(); });
    connect(ChkCopt, &QCheckBox::toggled, this, [this] { ChkCoptClick(); });
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CanBtn, &QPushButton::clicked, this, [this] { CanBtnClick(); });

    ChkClvClick();
    ChkKoptClick();
    ChkCoptClick();
}

void TOptDlg::ChkClvClick() { vertoko::SetInputUsable(Vdist, ChkClv->isChecked()); }
void TOptDlg::ChkKoptClick() { vertoko::SetInputUsable(Kvalue, ChkKopt->isChecked()); }
void TOptDlg::ChkCoptClick() { vertoko::SetInputUsable(ColName, ChkCopt->isChecked()); }

void TOptDlg::SetOpt(std::int32_t dxfMulti, std::int32_t dxfClv, const vertoko::PovOption& povOpt,
                     const std::string& estrOpt, float dxfVdist) {
    if (dxfMulti != 0) ChkMobj->setChecked(true);
    if (dxfClv != 0) ChkClv->setChecked(true);
    Vdist->SetValue(vertoko::RoundHalfEven(static_cast<double>(dxfVdist) * 10000.0));

    const vertoko::EstrayOptionWords words = vertoko::ReadEstrayOptions(estrOpt);
    if (words.smooth) ChkSopt->setChecked(true);
    if (words.normal) ChkKopt->setChecked(true);
    if (words.kValue) Kvalue->SetValue(*words.kValue);
    if (words.noShadow) ChkNopt->setChecked(true);
    if (words.colour) ChkCopt->setChecked(true);
    if (words.colourName) ColName->setText(QString::fromStdString(*words.colourName));

    if (povOpt.smooth != 0) ChkPsm->setChecked(true);
    PovOpt->setText(QString::fromStdString(povOpt.state));
}

void TOptDlg::OptBack() {
    noted_.mobj = ChkMobj->isChecked();
    noted_.clv = ChkClv->isChecked();
    noted_.vdist = Vdist->Value();
    noted_.sopt = ChkSopt->isChecked();
    noted_.kopt = ChkKopt->isChecked();
    noted_.kvalue = Kvalue->Value();
    noted_.nopt = ChkNopt->isChecked();
    noted_.copt = ChkCopt->isChecked();
    noted_.colName = ColName->text();
    noted_.psm = ChkPsm->isChecked();
    noted_.povOpt = PovOpt->text();
    hasNoted_ = true;
}

void TOptDlg::RestoreNoted() {
    if (!hasNoted_) return;
    ChkMobj->setChecked(noted_.mobj);
    ChkClv->setChecked(noted_.clv);
    ChkClvClick();
    Vdist->SetValue(noted_.vdist);
    ChkSopt->setChecked(noted_.sopt);
    ChkKopt->setChecked(noted_.kopt);
    ChkKoptClick();
    Kvalue->SetValue(noted_.kvalue);
    ChkNopt->setChecked(noted_.nopt);
    ChkCopt->setChecked(noted_.copt);
    ChkCoptClick();
    ColName->setText(noted_.colName);
    ChkPsm->setChecked(noted_.psm);
    PovOpt->setText(noted_.povOpt);
}

void TOptDlg::CanBtnClick() { reject(); }

void TOptDlg::reject() {
    RestoreNoted();
    QDialog::reject();
}

void TOptDlg::Getopt(std::int32_t& dxfMulti, std::int32_t& dxfClv, vertoko::PovOption& povOpt,
                     std::string& estrOpt, float& dxfVdist) {
    dxfMulti = ChkMobj->isChecked() ? 1 : 0;
    if (ChkClv->isChecked()) {
        dxfClv = 1;
        dxfVdist = static_cast<float>(static_cast<double>(Vdist->Value()) * 0.0001);
    } else {
        dxfClv = 0;
    }

    std::string colourName = ColName->text().toStdString();
    estrOpt =
        vertoko::BuildEstrayOptions(ChkSopt->isChecked(), ChkKopt->isChecked(), Kvalue->Value(),
                                    ChkNopt->isChecked(), ChkCopt->isChecked(), colourName);
    // A name cut to fit the option string is shown as it was kept.
    if (ChkCopt->isChecked() && !ColName->text().isEmpty())
        ColName->setText(QString::fromStdString(colourName));

    povOpt.smooth = ChkPsm->isChecked() ? 1 : 0;
    // A statement cut to fit is shown as it was kept, like the colour name.
    const std::string typed = PovOpt->text().toStdString();
    povOpt.state = vertoko::StatementText(typed);
    if (!povOpt.state.empty() && povOpt.state != typed)
        PovOpt->setText(QString::fromStdString(povOpt.state));
}

}  // namespace vertoko
