#include "dialogs/opt_dlg2.h"

#include <QColorDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "convert/settings.h"
#include "dialogs/color_ref.h"
#include "dialogs/dialog_style.h"

namespace vertoko {

namespace {

QFrame* MakePanel(QWidget* parent, int x, int y) {
    auto* panel = new QFrame(parent);
    panel->setGeometry(x, y, 48, 24);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setAutoFillBackground(true);
    panel->setCursor(Qt::PointingHandCursor);
    return panel;
}

}  // namespace

TOptDlg2::TOptDlg2(SetColorsFn setColors, QWidget* parent)
    : QDialog(parent), setColors_(std::move(setColors)) {
    vertoko::ApplyDialogFrame(this, QString::fromUtf8("Vertoko - ﾌﾟﾚﾋﾞｭｰ設定"), 238, 143);

    GroupBox2 = new QGroupBox(QString::fromUtf8("プレビューカラー"), this);
    GroupBox2->setGeometry(8, 6, 222, 90);
    Label1 = new QLabel(QString::fromUtf8("背景"), GroupBox2);
    Label1->setGeometry(16, 26, 80, 14);
    ColBk = MakePanel(GroupBox2, 150, 21);
    Label2 = new QLabel(QString::fromUtf8("ｵﾌﾞｼﾞｪｸﾄ"), GroupBox2);
    Label2->setGeometry(16, 58, 80, 14);
    ColObj = MakePanel(GroupBox2, 150, 53);
    ColBk->installEventFilter(this);
    ColObj->installEventFilter(this);

    OkBtn = new QPushButton(QString::fromUtf8("O K"), this);
    OkBtn->setGeometry(36, 106, 75, 25);
    OkBtn->setDefault(true);
    CanBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CanBtn->setGeometry(127, 106, 75, 25);
    connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
    connect(CanBtn, &QPushButton::clicked, this, [this] { CanBtnClick(); });

    // One chooser for the whole run, so its custom colours are kept.
    ColorDlg = new QColorDialog(this);

    // The option table's defaults until the main window sets its colours.
    const AppSettings defaults;
    back_ = defaults.pviewBack;
    obj_ = defaults.pviewObj;
    PaintPanel(ColBk, back_);
    PaintPanel(ColObj, obj_);
    if (setColors_) setColors_(back_, obj_);
}

void TOptDlg2::PaintPanel(QFrame* panel, std::uint32_t colour) {
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, vertoko::ColorFromRef(colour));
    panel->setPalette(palette);
}

void TOptDlg2::SetColor(std::uint32_t back, std::uint32_t obj) {
    back_ = back & 0xFFFFFF;
    obj_ = obj & 0xFFFFFF;
    PaintPanel(ColBk, back_);
    PaintPanel(ColObj, obj_);
    if (setColors_) setColors_(back_, obj_);
}

void TOptDlg2::OptBack() {
    notedBack_ = back_;
    notedObj_ = obj_;
    hasNoted_ = true;
}

std::optional<std::uint32_t> TOptDlg2::RunColorDlg(std::uint32_t initial) {
    ColorDlg->setCurrentColor(vertoko::ColorFromRef(initial));
    if (ColorDlg->exec() != QDialog::Accepted) return std::nullopt;
    return vertoko::RefFromColor(ColorDlg->selectedColor());
}

void TOptDlg2::Choose(QFrame* panel, std::uint32_t& colour) {
    const auto chosen = chooser_ ? chooser_(colour) : RunColorDlg(colour);
    if (!chosen) return;
    colour = *chosen & 0xFFFFFF;
    PaintPanel(panel, colour);
}

void TOptDlg2::ColBkClick() { Choose(ColBk, back_); }
void TOptDlg2::ColObjClick() { Choose(ColObj, obj_); }

void TOptDlg2::OkBtnClick() {
    if (setColors_) setColors_(back_, obj_);
    accept();
}

void TOptDlg2::CanBtnClick() { reject(); }

void TOptDlg2::reject() {
    if (hasNoted_) {
        back_ = notedBack_;
        obj_ = notedObj_;
        PaintPanel(ColBk, back_);
        PaintPanel(ColObj, obj_);
    }
    QDialog::reject();
}

bool TOptDlg2::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == ColBk || watched == ColObj) && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* panel = static_cast<QFrame*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            panel->rect().contains(mouse->position().toPoint())) {
            if (panel == ColBk) {
                ColBkClick();
            } else {
                ColObjClick();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vertoko
