#include "dialogs/opt_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/numedit.h"
#include "dialogs/dialog_style.h"
#include "dialogs/option_inputs.h"

namespace vertoko {

namespace {

// The dialog's group boxes, in their column from the top.
struct GroupPlace {
    OptionGroup group;
    const char* caption;
    int column;
};

constexpr GroupPlace kGroupPlaces[] = {
    {OptionGroup::Dxf, "DXFｵﾌﾟｼｮﾝ", 0},
    {OptionGroup::Estray, "EASTRAY ｵﾌﾟｼｮﾝ", 0},
    {OptionGroup::Pov, "POV-Rayｵﾌﾟｼｮﾝ", 1},
    {OptionGroup::Obj, "OBJｵﾌﾟｼｮﾝ", 1},
};

bool Enables(const OptionRow& sw, const OptionRow& row) {
    const OptionRow* enabler = row.enabledBy.empty() ? nullptr : FindOption(row.enabledBy);
    return enabler == &sw;
}

}  // namespace

TOptDlg::TOptDlg(QWidget* parent) : QDialog(parent) {
    ApplyDialogFrame(this, QString::fromUtf8("Vertoko - 入出力設定"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 6, 8, 8);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(8);
    QVBoxLayout* column[2] = {new QVBoxLayout, new QVBoxLayout};
    columns->addLayout(column[0]);
    columns->addLayout(column[1]);
    outer->addLayout(columns);

    const std::vector<const OptionRow*> shown = OptionsInShowingOrder(OptionTable());
    for (const GroupPlace& place : kGroupPlaces) {
        auto* box = new QGroupBox(QString::fromUtf8(place.caption), this);
        groups_.emplace_back(place.group, box);
        column[place.column]->addWidget(box);
        auto* grid = new QGridLayout(box);
        grid->setContentsMargins(10, 6, 10, 8);
        grid->setVerticalSpacing(4);
        grid->setColumnStretch(0, 1);
        std::vector<std::pair<const OptionRow*, int>> switchLines;
        int line = 0;
        for (const OptionRow* row : shown) {
            if (row->group != place.group) continue;
            std::unique_ptr<OptionInput> input = MakeOptionInput(*row, box);
            if (!input) continue;
            QWidget* widget = input->Input();
            QLabel* label = input->Label();
            const auto enabler =
                std::find_if(switchLines.begin(), switchLines.end(),
                             [&](const auto& entry) { return Enables(*entry.first, *row); });
            if (row->kind == OptionKind::Switch) {
                // A switch shares its line with the inputs it enables.
                const bool enablesOthers =
                    std::any_of(shown.begin(), shown.end(), [&](auto* other) {
                        return other->group == place.group && Enables(*row, *other);
                    });
                grid->addWidget(widget, line, 0, 1, enablesOthers ? 1 : 3);
                switchLines.emplace_back(row, line++);
            } else if (enabler != switchLines.end()) {
                if (label != nullptr) grid->addWidget(label, enabler->second, 1);
                grid->addWidget(widget, enabler->second, label != nullptr ? 2 : 1, 1,
                                label != nullptr ? 1 : 2, Qt::AlignRight);
            } else if (row->kind == OptionKind::Text || row->kind == OptionKind::EstrayString) {
                if (label != nullptr) grid->addWidget(label, line++, 0, 1, 3);
                grid->addWidget(widget, line++, 0, 1, 3);
            } else {
                if (label != nullptr) grid->addWidget(label, line, 0);
                grid->addWidget(widget, line++, 1, 1, 2, Qt::AlignRight);
            }
            inputs_.push_back(std::move(input));
        }
    }
    column[0]->addStretch(1);
    column[1]->addStretch(1);

    OkBtn = new QPushButton(QString::fromUtf8("O K"), this);
    OkBtn->setDefault(true);
    CanBtn = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {OkBtn, CanBtn}) button->setMinimumSize(75, 25);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addSpacing(16);
    buttons->addWidget(CanBtn);
    buttons->addStretch(1);
    outer->addSpacing(8);
    outer->addLayout(buttons);

    // Enabling follows the switch whether a click or code changed its state.
    for (const auto& input : inputs_) {
        if (QCheckBox* sw = SwitchOf(*input)) {
            OptionInput* dependent = input.get();
            connect(sw, &QCheckBox::toggled, this,
                    [dependent](bool checked) { dependent->SetUsable(checked); });
            dependent->SetUsable(sw->isChecked());
        }
    }
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CanBtn, &QPushButton::clicked, this, [this] { CanBtnClick(); });

    SetOpt(AppSettings{});
}

TOptDlg::~TOptDlg() = default;

OptionInput* TOptDlg::Find(std::string_view key) const {
    const OptionRow* row = FindOption(key);
    for (const auto& input : inputs_) {
        if (&input->Row() == row) return input.get();
    }
    return nullptr;
}

QWidget* TOptDlg::InputWidget(std::string_view key) const {
    const OptionInput* input = Find(key);
    return input != nullptr ? input->Input() : nullptr;
}

QLabel* TOptDlg::Caption(std::string_view key) const {
    const OptionInput* input = Find(key);
    return input != nullptr ? input->Label() : nullptr;
}

QGroupBox* TOptDlg::Group(OptionGroup group) const {
    for (const auto& [g, box] : groups_) {
        if (g == group) return box;
    }
    return nullptr;
}

QCheckBox* TOptDlg::SwitchOf(const OptionInput& input) const {
    if (input.Row().enabledBy.empty()) return nullptr;
    return Input<QCheckBox>(input.Row().enabledBy);
}

void TOptDlg::SetOpt(const AppSettings& settings) {
    for (const auto& input : inputs_) input->Set(settings);
}

void TOptDlg::OptBack() {
    for (const auto& input : inputs_) input->Note();
    hasNoted_ = true;
}

void TOptDlg::RestoreNoted() {
    if (!hasNoted_) return;
    for (const auto& input : inputs_) input->Restore();
}

void TOptDlg::CanBtnClick() { reject(); }

void TOptDlg::reject() {
    RestoreNoted();
    QDialog::reject();
}

void TOptDlg::accept() {
    for (const auto& input : inputs_) {
        QWidget* widget = input->Input();
        if (!widget->isEnabled()) continue;
        const std::string refusal = input->Refusal();
        if (refusal.empty()) continue;
        widget->setFocus(Qt::OtherFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(widget)) line->selectAll();
        TNumEdit::ReportError(this, refusal);
        return;
    }
    QDialog::accept();
}

void TOptDlg::Getopt(AppSettings& settings) {
    for (const auto& input : inputs_) {
        const QCheckBox* sw = SwitchOf(*input);
        if (sw != nullptr && !sw->isChecked()) continue;
        input->Get(settings);
    }
}

}  // namespace vertoko
