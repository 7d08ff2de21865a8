// The five windows of a run, created in order and wired into the main
// window's commands, on a real X display so that the preview exists.
#include "app/app_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "app/main_form.h"
#include "controls/about_box.h"
#include "dialogs/opt_dlg.h"
#include "dialogs/opt_dlg2.h"
#include "preview/pview.h"
// After the Qt headers: it brings in the X11 headers.
#include "platform/gl_loader.h"

namespace vertoko {
namespace {

class AppWindowsTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const std::string ini = dir.filePath("vertoko.ini").toStdString();
        CreateAppWindows({ini, ini}, {});
    }
    void TearDown() override { DestroyAppWindows(); }

    // Runs action once the modal dialog that the command opens is showing.
    static void WhenShown(QDialog* dialog, std::function<void()> action) {
        QTimer::singleShot(0, dialog, [dialog, action] {
            ASSERT_TRUE(dialog->isVisible());
            action();
        });
    }

    QTemporaryDir dir;
};

TEST_F(AppWindowsTest, EveryWindowExistsAndThePreviewFollowsOpenGl) {
    ASSERT_NE(MainForm, nullptr);
    EXPECT_NE(OptDlg, nullptr);
    EXPECT_NE(PView, nullptr);
    EXPECT_NE(OptDlg2, nullptr);
    EXPECT_NE(AboutBox, nullptr);
    EXPECT_EQ(MainForm->mPview->isEnabled(), hOpenGL != nullptr);
    EXPECT_FALSE(PView->isVisible());
}

TEST_F(AppWindowsTest, OptionsDialogIsFilledOnceAndOkTakesItsValues) {
    MainForm->settings.reader.dxfMulti = 0;
    WhenShown(OptDlg, [] {
        EXPECT_FALSE(OptDlg->Input<QCheckBox>("DXFmulti")->isChecked());
        OptDlg->Input<QCheckBox>("DXFmulti")->setChecked(true);
        OptDlg->OkBtn->click();
    });
    MainForm->mOptionClick();
    EXPECT_FALSE(MainForm->optFirst);
    EXPECT_EQ(MainForm->settings.reader.dxfMulti, 1);

    // A later change in the main window does not refill the dialog; Cancel
    // leaves the main window's values alone.
    MainForm->settings.reader.dxfMulti = 0;
    WhenShown(OptDlg, [] {
        EXPECT_TRUE(OptDlg->Input<QCheckBox>("DXFmulti")->isChecked());
        OptDlg->CanBtn->click();
    });
    MainForm->mOptionClick();
    EXPECT_EQ(MainForm->settings.reader.dxfMulti, 0);
}

TEST_F(AppWindowsTest, ColourDialogOkReachesTheMainWindowAndThePreview) {
    const std::uint32_t red = 0x0000FF;
    OptDlg2->SetColorChooser([red](std::uint32_t) { return std::optional<std::uint32_t>(red); });
    WhenShown(OptDlg2, [] {
        OptDlg2->ColBkClick();
        OptDlg2->OkBtn->click();
    });
    MainForm->N2Click();
    EXPECT_FALSE(MainForm->colFirst);
    EXPECT_EQ(MainForm->settings.pviewBack, red);
    EXPECT_FLOAT_EQ(PView->BackColor()[0], 1.0f);
    EXPECT_FLOAT_EQ(PView->BackColor()[1], 0.0f);
    EXPECT_FLOAT_EQ(PView->BackColor()[2], 0.0f);
}

TEST_F(AppWindowsTest, PreviewCommandShowsTheLoadedTableOnceAsNew) {
    if (hOpenGL == nullptr) GTEST_SKIP() << "no OpenGL on this display";
    MainForm->LoadDxf(QStringLiteral(VERTOKO_SOURCE_DIR "/examples/house.dxf"));
    ASSERT_TRUE(MainForm->newData);
    MainForm->mPviewClick();
    EXPECT_FALSE(MainForm->newData);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(PView));
    QTest::qWait(50);
    EXPECT_EQ(PView->ModelBuilds(), 1);

    // Loading again hides the preview until the next preview command.
    MainForm->LoadDxf(QStringLiteral(VERTOKO_SOURCE_DIR "/examples/house.dxf"));
    EXPECT_FALSE(PView->isVisible());
}

TEST_F(AppWindowsTest, HelpCommandShowsTheAboutBoxModally) {
    WhenShown(AboutBox, [] {
        EXPECT_TRUE(AboutBox->isModal());
        AboutBox->accept();
    });
    MainForm->mAboutClick();
    EXPECT_FALSE(AboutBox->isVisible());
}

}  // namespace
}  // namespace vertoko
