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

// 180 degrees in the numeric edit's ten-thousandths: smoothing across every
// edge, and the largest angle there is.
constexpr std::int64_t kCreaseDefault = 1800000;

QCheckBox* MakeCheck(QWidget* parent, const char* caption, int x, int y, int w) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setGeometry(x, y, w, 17);
    return box;
}

}  // namespace

TOptDlg::TOptDlg(QWidget* parent) : QDialog(parent) {
    vertoko::ApplyDialogFrame(this, QString::fromUtf8("Vertoko - 入出力設定"), 452, 342);
    const QFont inputFont = vertoko::DialogFont(13);

    GroupDxf = new QGroupBox(QString::fromUtf8("DXFｵﾌﾟｼｮﾝ"), this);
    GroupDxf->setGeometry(8, 6, 214, 162);
    ChkMobj = MakeCheck(GroupDxf, "マルチ・オブジェクト", 12, 18, 190);
    ChkClv = MakeCheck(GroupDxf, "頂点クリーン", 12, 42, 96);
    Vdist = new TNumEdit(GroupDxf);
    Vdist->setGeometry(110, 40, 92, 20);
    Vdist->setFont(inputFont);
    Vdist->SetDecimalDidits(5);
    ChkSkip = MakeCheck(GroupDxf, "未対応の図形を読み飛ばす", 12, 66, 190);
    ChkInsert = MakeCheck(GroupDxf, "ブロック参照を展開する", 12, 90, 190);
    ChkColor = MakeCheck(GroupDxf, "図面の色を使う", 12, 114, 190);
    ChkOrient = MakeCheck(GroupDxf, "面の向きを揃える", 12, 138, 190);

    GroupEstray = new QGroupBox(QString::fromUtf8("EASTRAY ｵﾌﾟｼｮﾝ"), this);
    GroupEstray->setGeometry(8, 174, 214, 118);
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
    GroupPov->setGeometry(230, 6, 214, 146);
    ChkPsm = MakeCheck(GroupPov, "スムース", 12, 18, 72);
    LabelCrease = new QLabel(QString::fromUtf8("スムース角度"), GroupPov);
    LabelCrease->setGeometry(84, 20, 70, 14);
    Crease = new TNumEdit(GroupPov);
    Crease->setGeometry(152, 16, 50, 20);
    Crease->setFont(inputFont);
    Crease->SetDecimalDidits(1);
    Crease->SetValue(kCreaseDefault);
    Label1 = new QLabel(QString::fromUtf8("追加ステートメント"), GroupPov);
    Label1->setGeometry(12, 44, 190, 14);
    PovOpt = new QLineEdit(QStringLiteral("pigment { color rgb <1,1,1> }"), GroupPov);
    PovOpt->setGeometry(12, 62, 190, 20);
    PovOpt->setFont(inputFont);
    PovOpt->setMaxLength(static_cast<int>(vertoko::kPovStateMaxBytes));
    ChkMesh2 = MakeCheck(GroupPov, "mesh2形式", 12, 94, 190);
    ChkFit = MakeCheck(GroupPov, "カメラを合わせる", 12, 118, 190);

    GroupObj = new QGroupBox(QString::fromUtf8("OBJｵﾌﾟｼｮﾝ"), this);
    GroupObj->setGeometry(230, 158, 214, 44);
    ChkObjNormal = MakeCheck(GroupObj, "法線を出力", 12, 18, 190);

    OkBtn = new QPushButton(QString::fromUtf8("O K"), this);
    OkBtn->setGeometry(143, 308, 75, 25);
    OkBtn->setDefault(true);
    CanBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CanBtn->setGeometry(234, 308, 75, 25);

    // Enabling follows the box whether a click or code changed its state.
    connect(ChkClv, &QCheckBox::toggled, this, [this] { ChkClvClick(); });
    connect(ChkKopt, &QCheckBox::toggled, this, [this] { ChkKoptClick(); });
    connect(ChkCopt, &QCheckBox::toggled, this, [this] { ChkCoptClick(); });
    connect(ChkPsm, &QCheckBox::toggled, this, [this] { ChkPsmClick(); });
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CanBtn, &QPushButton::clicked, this, [this] { CanBtnClick(); });

    ChkClvClick();
    ChkKoptClick();
    ChkCoptClick();
    ChkPsmClick();
}

void TOptDlg::ChkPsmClick() {
    vertoko::SetInputUsable(Crease, ChkPsm->isChecked());
    LabelCrease->setEnabled(ChkPsm->isChecked());
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
    Crease->SetValue(vertoko::RoundHalfEven(static_cast<double>(povOpt.crease) * 10000.0));
    if (povOpt.mesh2 != 0) ChkMesh2->setChecked(true);
    if (povOpt.fit != 0) ChkFit->setChecked(true);
}

void TOptDlg::SetExtraOpt(const ExtraOptions& extra) {
    if (extra.dxfSkip != 0) ChkSkip->setChecked(true);
    if (extra.dxfInsert != 0) ChkInsert->setChecked(true);
    if (extra.dxfColor != 0) ChkColor->setChecked(true);
    if (extra.dxfOrient != 0) ChkOrient->setChecked(true);
    if (extra.objNormal != 0) ChkObjNormal->setChecked(true);
}

void TOptDlg::GetExtraOpt(ExtraOptions& extra) const {
    extra.dxfSkip = ChkSkip->isChecked() ? 1 : 0;
    extra.dxfInsert = ChkInsert->isChecked() ? 1 : 0;
    extra.dxfColor = ChkColor->isChecked() ? 1 : 0;
    extra.dxfOrient = ChkOrient->isChecked() ? 1 : 0;
    extra.objNormal = ChkObjNormal->isChecked() ? 1 : 0;
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
    noted_.crease = Crease->Value();
    noted_.skip = ChkSkip->isChecked();
    noted_.insert = ChkInsert->isChecked();
    noted_.color = ChkColor->isChecked();
    noted_.orient = ChkOrient->isChecked();
    noted_.mesh2 = ChkMesh2->isChecked();
    noted_.fit = ChkFit->isChecked();
    noted_.objNormal = ChkObjNormal->isChecked();
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
    ChkPsmClick();
    PovOpt->setText(noted_.povOpt);
    Crease->SetValue(noted_.crease);
    ChkSkip->setChecked(noted_.skip);
    ChkInsert->setChecked(noted_.insert);
    ChkColor->setChecked(noted_.color);
    ChkOrient->setChecked(noted_.orient);
    ChkMesh2->setChecked(noted_.mesh2);
    ChkFit->setChecked(noted_.fit);
    ChkObjNormal->setChecked(noted_.objNormal);
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
    if (ChkPsm->isChecked()) {
        // The angle is held to half a turn, and shown as it was kept.
        std::int64_t crease = Crease->Value();
        if (crease < 0) crease = 0;
        if (crease > kCreaseDefault) crease = kCreaseDefault;
        if (crease != Crease->Value()) Crease->SetValue(crease);
        povOpt.crease = static_cast<float>(static_cast<double>(crease) * 0.0001);
    }
    povOpt.mesh2 = ChkMesh2->isChecked() ? 1 : 0;
    povOpt.fit = ChkFit->isChecked() ? 1 : 0;
    // A statement cut to fit is shown as it was kept, like the colour name.
    const std::string typed = PovOpt->text().toStdString();
    povOpt.state = vertoko::StatementText(typed);
    if (!povOpt.state.empty() && povOpt.state != typed)
        PovOpt->setText(QString::fromStdString(povOpt.state));
}

}  // namespace vertoko
