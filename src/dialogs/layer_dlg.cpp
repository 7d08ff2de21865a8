#include "dialogs/layer_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/dialog_style.h"

namespace vertoko {

namespace {

// The layer's index in the drawing, kept on its row.
constexpr int kLayerRole = Qt::UserRole;

// A swatch of the layer's colour (0xRRGGBB) with a grey edge, so that white
// and the list's own background stay apart.
QIcon Swatch(std::uint32_t rgb) {
    QPixmap pixmap(20, 12);
    pixmap.fill(QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

QString State(const DrawingLayer& layer) {
    QStringList words;
    if (layer.off) words << QString::fromUtf8("非表示");
    if (layer.frozen) words << QString::fromUtf8("凍結");
    return words.join(QStringLiteral(", "));
}

}  // namespace

TLayerDlg::TLayerDlg(QWidget* parent) : QDialog(parent) {
    ApplyDialogFrame(this, QString::fromUtf8("Vertoko - ﾚｲﾔｰ"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    LayerList = new QTreeWidget(this);
    LayerList->setRootIsDecorated(false);
    LayerList->setUniformRowHeights(true);
    LayerList->setHeaderLabels({QString::fromUtf8("ﾚｲﾔｰ"), QString::fromUtf8("色"),
                                QString::fromUtf8("面数"), QString::fromUtf8("状態")});
    LayerList->headerItem()->setTextAlignment(FacesColumn, Qt::AlignRight | Qt::AlignVCenter);
    LayerList->header()->setStretchLastSection(false);
    LayerList->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (const int column : {ColourColumn, FacesColumn, StateColumn})
        LayerList->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    outer->addWidget(LayerList);

    FacesLabel = new QLabel(this);
    outer->addWidget(FacesLabel);

    auto* buttons = new QHBoxLayout;
    AllBtn = new QPushButton(QString::fromUtf8("全て選択"), this);
    NoneBtn = new QPushButton(QString::fromUtf8("全て解除"), this);
    OkBtn = new QPushButton(QString::fromUtf8("O K"), this);
    OkBtn->setDefault(true);
    CanBtn = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(AllBtn);
    buttons->addWidget(NoneBtn);
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CanBtn);
    outer->addLayout(buttons);
    connect(AllBtn, &QPushButton::clicked, this, [this] { AllBtnClick(); });
    connect(NoneBtn, &QPushButton::clicked, this, [this] { NoneBtnClick(); });
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CanBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(LayerList, &QTreeWidget::itemChanged, this, [this] { CountFaces(); });

    resize(380, 320);
}

void TLayerDlg::SetLayers(const DrawingLayers& layers, const std::vector<bool>& keep) {
    const QSignalBlocker quiet(LayerList);
    LayerList->clear();
    faces_.clear();
    for (std::size_t i = 0; i < layers.layers.size(); ++i) {
        const DrawingLayer& layer = layers.layers[i];
        auto* item = new QTreeWidgetItem(LayerList);
        item->setText(NameColumn, QString::fromStdString(layer.name));
        item->setData(NameColumn, kLayerRole, static_cast<int>(i));
        const bool kept = i >= keep.size() || keep[i];
        item->setCheckState(NameColumn, kept || layer.faces == 0 ? Qt::Checked : Qt::Unchecked);
        if (layer.faces == 0) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        item->setIcon(ColourColumn, Swatch(layer.rgb));
        item->setText(ColourColumn, QString::number(layer.aci));
        item->setText(FacesColumn, QString::number(layer.faces));
        item->setTextAlignment(FacesColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(StateColumn, State(layer));
        faces_.push_back(layer.faces);
    }
    CountFaces();
}

std::vector<bool> TLayerDlg::Kept() const {
    std::vector<bool> kept(faces_.size(), true);
    for (int row = 0; row < LayerList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = LayerList->topLevelItem(row);
        const int layer = item->data(NameColumn, kLayerRole).toInt();
        kept[static_cast<std::size_t>(layer)] = item->checkState(NameColumn) == Qt::Checked;
    }
    return kept;
}

void TLayerDlg::SetAll(bool checked) {
    {
        const QSignalBlocker quiet(LayerList);
        for (int row = 0; row < LayerList->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = LayerList->topLevelItem(row);
            if (item->flags() & Qt::ItemIsEnabled)
                item->setCheckState(NameColumn, checked ? Qt::Checked : Qt::Unchecked);
        }
    }
    CountFaces();
}

void TLayerDlg::AllBtnClick() { SetAll(true); }
void TLayerDlg::NoneBtnClick() { SetAll(false); }

void TLayerDlg::CountFaces() {
    const std::vector<bool> kept = Kept();
    long long shown = 0;
    long long all = 0;
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        all += faces_[i];
        if (kept[i]) shown += faces_[i];
    }
    FacesLabel->setText(QString::fromUtf8("選んだﾚｲﾔｰの面数: %1 / %2").arg(shown).arg(all));
    // Without a face there is nothing to show or save.
    OkBtn->setEnabled(shown > 0 || all == 0);
}

}  // namespace vertoko
