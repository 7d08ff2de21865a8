// The preview colour dialog driven the way the main window drives it, with
// a recording stand-in for the preview's SetColors and a scripted chooser.
#include "dialogs/opt_dlg2.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "dialogs/color_ref.h"

namespace vertoko {

namespace {

using Colors = std::pair<std::uint32_t, std::uint32_t>;

constexpr std::uint32_t kDefaultBack = 0x664D00;  // (0, 77, 102)
constexpr std::uint32_t kDefaultObj = 0xDEDEDE;   // (222, 222, 222)
constexpr std::uint32_t kIniBack = 0x302010;      // (16, 32, 48) from the settings
constexpr std::uint32_t kIniObj = 0x0000FF;       // red

enum class Ending { Ok, Cancel, CloseBox };

class OptDlg2Test : public ::testing::Test {
  protected:
    OptDlg2Test()
        : dlg([this](std::uint32_t back, std::uint32_t obj) {
              told.push_back({back, obj});
          }) {
        dlg.SetColorChooser([this](std::uint32_t initial) -> std::optional<std::uint32_t> {
            presets.push_back(initial);
            if (answers.empty()) return std::nullopt;
            const auto answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }

    // One opening as the main window does it; true when it ended with OK,
    // and then the main window's colours are taken from the panels.
    bool Open(Ending ending, const std::function<void()>& during = {}) {
        if (colFirst) {
            dlg.SetColor(pviewBack, pviewObj);
            colFirst = false;
        }
        dlg.OptBack();
        QTimer::singleShot(0, &dlg, [this, ending, during] {
            if (during) during();
            switch (ending) {
                case Ending::Ok:
                    QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
                    break;
                case Ending::Cancel:
                    QTest::mouseClick(dlg.CanBtn, Qt::LeftButton);
                    break;
                case Ending::CloseBox:
                    dlg.close();
                    break;
            }
            if (dlg.isVisible()) dlg.done(QDialog::Rejected + 100);
        });
        const bool ok = dlg.exec() == QDialog::Accepted;
        if (ok) {
            pviewBack = dlg.backColor();
            pviewObj = dlg.objColor();
        }
        return ok;
    }

    static std::uint32_t PanelColor(QFrame* panel) {
        return vertoko::RefFromColor(panel->palette().color(QPalette::Window));
    }

    std::vector<Colors> told;
    std::vector<std::uint32_t> presets;
    std::deque<std::optional<std::uint32_t>> answers;
    std::uint32_t pviewBack = kIniBack;
    std::uint32_t pviewObj = kIniObj;
    bool colFirst = true;
    TOptDlg2 dlg;
};

TEST(ColorRef, RedIsTheLowByte) {
    EXPECT_EQ(vertoko::RefFromRgb(0, 77, 102), 0x664D00u);
    const QColor colour = vertoko::ColorFromRef(0x123456);
    EXPECT_EQ(colour.red(), 0x56);
    EXPECT_EQ(colour.green(), 0x34);
    EXPECT_EQ(colour.blue(), 0x12);
    EXPECT_EQ(vertoko::RefFromColor(colour), 0x123456u);
}

TEST_F(OptDlg2Test, ConstructionShowsAndTellsTheDefaults) {
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Vertoko - ﾌﾟﾚﾋﾞｭｰ設定"));
    EXPECT_EQ(dlg.size(), QSize(238, 143));
    EXPECT_EQ(dlg.ColBk->size(), QSize(48, 24));
    EXPECT_EQ(dlg.ColBk->frameShadow(), QFrame::Sunken);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], Colors(kDefaultBack, kDefaultObj));
    EXPECT_EQ(PanelColor(dlg.ColBk), kDefaultBack);
    EXPECT_EQ(PanelColor(dlg.ColObj), kDefaultObj);
}

TEST_F(OptDlg2Test, FirstOpeningShowsTheSettingsColours) {
    Open(Ending::Cancel, [this] {
        EXPECT_EQ(PanelColor(dlg.ColBk), kIniBack);
        EXPECT_EQ(PanelColor(dlg.ColObj), kIniObj);
    });
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1], Colors(kIniBack, kIniObj));
    EXPECT_EQ(dlg.backColor(), kIniBack);
}

TEST_F(OptDlg2Test, PanelClickPresetsTheChooserWithItsColour) {
    answers = {0x00FF00, std::nullopt};
    Open(Ending::Ok, [this] {
        QTest::mouseClick(dlg.ColBk, Qt::LeftButton);
        EXPECT_EQ(PanelColor(dlg.ColBk), 0x00FF00u);
        // A cancelled chooser leaves the panel alone.
        QTest::mouseClick(dlg.ColObj, Qt::LeftButton);
        EXPECT_EQ(PanelColor(dlg.ColObj), kIniObj);
    });
    EXPECT_EQ(presets, (std::vector<std::uint32_t>{kIniBack, kIniObj}));
}

TEST_F(OptDlg2Test, NewBackgroundThenCancelChangesNothing) {
    Open(Ending::Ok);
    const std::size_t toldBefore = told.size();
    answers = {0xABCDEF};
    EXPECT_FALSE(Open(Ending::Cancel, [this] {
        dlg.ColBkClick();
        EXPECT_EQ(PanelColor(dlg.ColBk), 0xABCDEFu);
    }));
    EXPECT_EQ(PanelColor(dlg.ColBk), kIniBack);
    EXPECT_EQ(dlg.backColor(), kIniBack);
    EXPECT_EQ(pviewBack, kIniBack);
    EXPECT_EQ(told.size(), toldBefore);
}

TEST_F(OptDlg2Test, NewObjectColourThenOkTellsThePreviewAtOnce) {
    answers = {0x112233};
    EXPECT_TRUE(Open(Ending::Ok, [this] { dlg.ColObjClick(); }));
    EXPECT_EQ(told.back(), Colors(kIniBack, 0x112233));
    EXPECT_EQ(pviewObj, 0x112233u);
    EXPECT_EQ(pviewBack, kIniBack);
    // The next opening starts from the accepted colour, not the settings.
    Open(Ending::Cancel, [this] { EXPECT_EQ(PanelColor(dlg.ColObj), 0x112233u); });
}

TEST_F(OptDlg2Test, CloseBoxPutsThePanelsBack) {
    Open(Ending::Ok);
    answers = {0x010203, 0x040506};
    EXPECT_FALSE(Open(Ending::CloseBox, [this] {
        dlg.ColBkClick();
        dlg.ColObjClick();
    }));
    EXPECT_EQ(dlg.backColor(), kIniBack);
    EXPECT_EQ(dlg.objColor(), kIniObj);
    EXPECT_EQ(PanelColor(dlg.ColObj), kIniObj);
    // OK straight away now gives the colours the main window holds.
    Open(Ending::Ok);
    EXPECT_EQ(told.back(), Colors(kIniBack, kIniObj));
}

}  // namespace

}  // namespace vertoko
