// The windows of a run on a scaled X screen (QT_SCALE_FACTOR=2 under Xvfb):
// each one that opens lies wholly on the screen, and the preview, whose
// layout position is far right, comes onto it.
#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "app/app_windows.h"
#include "app/main_form.h"
#include "controls/about_box.h"
#include "dialogs/opt_dlg.h"
#include "dialogs/opt_dlg2.h"
#include "preview/pview.h"
// After the Qt headers: it brings in the X11 headers.
#include "platform/gl_loader.h"

namespace vertoko {
namespace {

class WindowPlacementScreenTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const std::string ini = dir.filePath("vertoko.ini").toStdString();
        CreateAppWindows({ini, ini}, {});
        screen = QGuiApplication::primaryScreen()->availableGeometry();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    }
    void TearDown() override {
        MainForm->hide();
        DestroyAppWindows();
    }

    // Checks where the modal dialog that command opens shows, then closes
    // it: as much of it as the screen can hold is on the screen, and its
    // top-left corner with the title bar in any case.
    void ExpectDialogOnScreen(QDialog* dialog, const std::function<void()>& command) {
        bool seen = false;
        QTimer::singleShot(0, dialog, [&] {
            seen = dialog->isVisible();
            const QRect frame = dialog->frameGeometry();
            SCOPED_TRACE(dialog->windowTitle().toStdString());
            EXPECT_TRUE(screen.contains(frame.topLeft()));
            EXPECT_EQ(frame.intersected(screen).size(), frame.size().boundedTo(screen.size()));
            dialog->reject();
        });
        command();
        EXPECT_TRUE(seen);
    }

    QTemporaryDir dir;
    QRect screen;
};

TEST_F(WindowPlacementScreenTest, PreviewComesOntoTheScaledScreen) {
    // 1280 pixels at scale 2: the windows see a screen 640 wide.
    if (screen.width() != 640) GTEST_SKIP() << "needs a 1280-pixel screen at scale 2";
    // The main window fits at its layout position and stays there.
    EXPECT_EQ(MainForm->pos(), QPoint(237, 105));
    if (hOpenGL != nullptr) {
        MainForm->mPviewClick();
    } else {
        PView->show();
    }
    ASSERT_TRUE(QTest::qWaitForWindowExposed(PView));
    EXPECT_TRUE(screen.contains(PView->frameGeometry()));
    // Shifted left only, to 640 - 403; its y fits as laid out.
    EXPECT_EQ(PView->pos(), QPoint(640 - 403, 104));
    // Shown again after a close: still on the screen.
    PView->close();
    PView->show();
    EXPECT_TRUE(screen.contains(PView->frameGeometry()));
}

TEST_F(WindowPlacementScreenTest, DialogsOpenOnTheScreen) {
    ExpectDialogOnScreen(OptDlg, [] { MainForm->mOptionClick(); });
    ExpectDialogOnScreen(OptDlg2, [] { MainForm->N2Click(); });
    ExpectDialogOnScreen(AboutBox, [] { MainForm->mAboutClick(); });
}

TEST(KeptPlaceTest, MainWindowKeptOffEveryScreenComesOntoIt) {
    // A place kept from a larger screen than this run has.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath("vertoko.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Window]\r\nLeft=3000\r\nTop=2000\r\nWidth=420\r\nHeight=300\r\n");
    file.close();
    CreateAppWindows({ini.toStdString(), ini.toStdString()}, {});
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    MainForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    EXPECT_EQ(MainForm->size(), QSize(420, 300));
    EXPECT_TRUE(screen.contains(MainForm->frameGeometry()));
    MainForm->hide();
    DestroyAppWindows();
}

}  // namespace
}  // namespace vertoko
