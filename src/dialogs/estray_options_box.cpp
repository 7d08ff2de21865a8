#include "dialogs/estray_options_box.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

#include "controls/numedit.h"
#include "dialogs/dialog_style.h"
#include "dialogs/estray_options.h"

namespace vertoko {

EstrayOptionsBox::EstrayOptionsBox(std::size_t maxBytes, QWidget* parent)
    : QWidget(parent), maxBytes_(maxBytes) {
    const QFont inputFont = DialogFont(13);
    ChkSopt = new QCheckBox(QString::fromUtf8("\"s\"（スムース）"), this);
    ChkKopt = new QCheckBox(QString::fromUtf8("\"k\"（法線影響度）"), this);
    Kvalue = new TNumEdit(this);
    Kvalue->setFont(inputFont);
    Kvalue->SetDecimalDidits(4);
    SetWidthInDigits(Kvalue, 9);
    ChkNopt = new QCheckBox(QString::fromUtf8("\"n\"（影無し）"), this);
    ChkCopt = new QCheckBox(QString::fromUtf8("\"c\"（カラー）"), this);
    ColName = new QLineEdit(this);
    ColName->setFont(inputFont);
    SetWidthInDigits(ColName, 9);
    // No name longer than fits beside the " c "; Options() cuts further to
    // the bytes the option string has left.
    ColName->setMaxLength(static_cast<int>(maxBytes_) - 3);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(4);
    grid->addWidget(ChkSopt, 0, 0, 1, 2);
    grid->addWidget(ChkKopt, 1, 0);
    grid->addWidget(Kvalue, 1, 1);
    grid->addWidget(ChkNopt, 2, 0, 1, 2);
    grid->addWidget(ChkCopt, 3, 0);
    grid->addWidget(ColName, 3, 1);
    grid->setColumnStretch(0, 1);

    // Enabling follows the box whether a click or code changed its state.
    connect(ChkKopt, &QCheckBox::toggled, this, [this] { FollowBoxes(); });
    connect(ChkCopt, &QCheckBox::toggled, this, [this] { FollowBoxes(); });
    FollowBoxes();
}

void EstrayOptionsBox::FollowBoxes() {
    SetInputUsable(Kvalue, ChkKopt->isChecked());
    SetInputUsable(ColName, ChkCopt->isChecked());
}

void EstrayOptionsBox::SetOptions(std::string_view estrOpt) {
    const EstrayOptionWords words = ReadEstrayOptions(estrOpt);
    ChkSopt->setChecked(words.smooth);
    ChkKopt->setChecked(words.normal);
    if (words.kValue) Kvalue->SetValue(*words.kValue);
    ChkNopt->setChecked(words.noShadow);
    ChkCopt->setChecked(words.colour);
    if (words.colourName) ColName->setText(QString::fromStdString(*words.colourName));
}

std::string EstrayOptionsBox::Options() {
    std::string colourName = ColName->text().toStdString();
    const std::string built =
        BuildEstrayOptions(ChkSopt->isChecked(), ChkKopt->isChecked(), Kvalue->Value(),
                           ChkNopt->isChecked(), ChkCopt->isChecked(), colourName, maxBytes_);
    if (ChkCopt->isChecked() && !ColName->text().isEmpty())
        ColName->setText(QString::fromStdString(colourName));
    return built;
}

void EstrayOptionsBox::Note() {
    noted_.sopt = ChkSopt->isChecked();
    noted_.kopt = ChkKopt->isChecked();
    noted_.kvalue = Kvalue->Value();
    noted_.nopt = ChkNopt->isChecked();
    noted_.copt = ChkCopt->isChecked();
    noted_.colName = ColName->text();
}

void EstrayOptionsBox::Restore() {
    ChkSopt->setChecked(noted_.sopt);
    ChkKopt->setChecked(noted_.kopt);
    Kvalue->SetValue(noted_.kvalue);
    ChkNopt->setChecked(noted_.nopt);
    ChkCopt->setChecked(noted_.copt);
    ColName->setText(noted_.colName);
}

}  // namespace vertoko
