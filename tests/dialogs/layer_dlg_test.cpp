// The layer window filled with layers built by hand: what each row shows,
// the checks the user changes by key and by button, and the count of the
// faces that stay.
#include "dialogs/layer_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace vertoko {
namespace {

DrawingLayer Layer(const char* name, std::uint32_t rgb, std::int32_t aci, std::int64_t faces,
                   bool off = false, bool frozen = false) {
    return {name, rgb, aci, off, frozen, faces};
}

class LayerDlgTest : public testing::Test {
  protected:
    LayerDlgTest() {
        // UTF-8 names as the reader hands them over, and a layer with no
        // face (the drawing's "0").
        layers.layers = {Layer("壁", 0xFF0000, 1, 12), Layer("屋根", 0x0000FF, 5, 30, true),
                         Layer("0", 0xFFFFFF, 7, 0), Layer("窓枠", 0x00FF00, 3, 8, false, true)};
    }

    QTreeWidgetItem* Row(int row) const { return dlg.LayerList->topLevelItem(row); }
    QString Cell(int row, int column) const { return Row(row)->text(column); }

    // Space on the row, as a user checks or unchecks it from the keyboard.
    void ToggleByKey(int row) {
        dlg.LayerList->setCurrentItem(Row(row), TLayerDlg::NameColumn);
        QTest::keyClick(dlg.LayerList, Qt::Key_Space);
    }

    DrawingLayers layers;
    TLayerDlg dlg;
};

TEST_F(LayerDlgTest, EveryLayerIsListedWithNameSwatchCountAndState) {
    dlg.SetLayers(layers, {});
    ASSERT_EQ(dlg.LayerList->topLevelItemCount(), 4);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Vertoko - ﾚｲﾔｰ"));
    const char* names[] = {"\xE5\xA3\x81", "\xE5\xB1\x8B\xE6\xA0\xB9", "0",
                           "\xE7\xAA\x93\xE6\x9E\xA0"};  // 壁 屋根 0 窓枠 in UTF-8 bytes
    const QColor colours[] = {Qt::red, Qt::blue, Qt::white, Qt::green};
    const char* counts[] = {"12", "30", "0", "8"};
    const char* aci[] = {"1", "5", "7", "3"};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Cell(row, TLayerDlg::NameColumn), QString::fromUtf8(names[row]));
        EXPECT_EQ(Cell(row, TLayerDlg::FacesColumn), QString::fromLatin1(counts[row]));
        EXPECT_EQ(Cell(row, TLayerDlg::ColourColumn), QString::fromLatin1(aci[row]));
        // The swatch's inside is the layer's colour.
        const QImage swatch =
            Row(row)->icon(TLayerDlg::ColourColumn).pixmap(QSize(20, 12)).toImage();
        ASSERT_FALSE(swatch.isNull());
        EXPECT_EQ(swatch.pixelColor(swatch.width() / 2, swatch.height() / 2), colours[row]);
        EXPECT_EQ(Row(row)->checkState(TLayerDlg::NameColumn), Qt::Checked);
    }
    EXPECT_EQ(Cell(0, TLayerDlg::StateColumn), QString());
    EXPECT_EQ(Cell(1, TLayerDlg::StateColumn), QString::fromUtf8("非表示"));
    EXPECT_EQ(Cell(3, TLayerDlg::StateColumn), QString::fromUtf8("凍結"));
    EXPECT_EQ(dlg.FacesLabel->text(), QString::fromUtf8("選んだﾚｲﾔｰの面数: 50 / 50"));
    // The faceless layer has nothing to leave out.
    EXPECT_FALSE(Row(2)->flags() & Qt::ItemIsEnabled);

    // A second drawing's layers replace the first's.
    DrawingLayers other;
    other.layers = {Layer("Only", 0x808080, 8, 3)};
    dlg.SetLayers(other, {});
    ASSERT_EQ(dlg.LayerList->topLevelItemCount(), 1);
    EXPECT_EQ(dlg.Kept(), std::vector<bool>{true});
    EXPECT_EQ(dlg.FacesLabel->text(), QString::fromUtf8("選んだﾚｲﾔｰの面数: 3 / 3"));
}

TEST_F(LayerDlgTest, ChecksFollowTheChoiceAndTheUsersKeys) {
    // A choice shorter than the list leaves the later layers checked; the
    // faceless layer stays checked whatever the choice says.
    dlg.SetLayers(layers, {true, false, false});
    EXPECT_EQ(dlg.Kept(), (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(dlg.FacesLabel->text(), QString::fromUtf8("選んだﾚｲﾔｰの面数: 20 / 50"));

    ToggleByKey(0);
    EXPECT_EQ(dlg.Kept(), (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(dlg.FacesLabel->text(), QString::fromUtf8("選んだﾚｲﾔｰの面数: 8 / 50"));
    ToggleByKey(1);
    EXPECT_EQ(dlg.Kept(), (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(dlg.FacesLabel->text(), QString::fromUtf8("選んだﾚｲﾔｰの面数: 38 / 50"));
}

TEST_F(LayerDlgTest, NothingLeftCannotBeConfirmed) {
    dlg.SetLayers(layers, {});
    QTest::mouseClick(dlg.NoneBtn, Qt::LeftButton);
    EXPECT_EQ(dlg.Kept(), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(dlg.FacesLabel->text(), QString::fromUtf8("選んだﾚｲﾔｰの面数: 0 / 50"));
    EXPECT_FALSE(dlg.OkBtn->isEnabled());
    ToggleByKey(3);
    EXPECT_TRUE(dlg.OkBtn->isEnabled());
    QTest::mouseClick(dlg.AllBtn, Qt::LeftButton);
    EXPECT_EQ(dlg.Kept(), (std::vector<bool>(4, true)));
    EXPECT_TRUE(dlg.OkBtn->isEnabled());
}

TEST_F(LayerDlgTest, OkAcceptsAndCancelRejects) {
    dlg.SetLayers(layers, {});
    QTimer::singleShot(0, &dlg, [this] {
        ToggleByKey(1);
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
    });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.Kept(), (std::vector<bool>{true, false, true, true}));
    QTimer::singleShot(0, &dlg, [this] { QTest::mouseClick(dlg.CanBtn, Qt::LeftButton); });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
}

}  // namespace
}  // namespace vertoko
