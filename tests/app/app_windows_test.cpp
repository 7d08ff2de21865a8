// The five windows of a run, created in order and wired into the main
// window's commands, on a real X display so that the preview exists.
#include "app/app_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
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

// The log as lines.
QStringList Log() { return MainForm->Memo1->toPlainText().split(QLatin1Char('\n')); }

TEST_F(AppWindowsTest, ChangedReadingOptionReadsTheDrawingAgain) {
    const QString house = QStringLiteral(VERTOKO_SOURCE_DIR "/examples/house.dxf");
    // Nothing loaded yet: a changed reading option has nothing to read.
    WhenShown(OptDlg, [] {
        OptDlg->Input<QCheckBox>("DXFinsert")->setChecked(true);
        OptDlg->OkBtn->click();
    });
    MainForm->mOptionClick();
    EXPECT_EQ(MainForm->Memo1->toPlainText(), QString());

    MainForm->LoadDxf(house);
    ASSERT_EQ(MainForm->objectCount, 1);
    // A writer's option changes nothing that was read.
    const qsizetype before = Log().size();
    WhenShown(OptDlg, [] {
        OptDlg->Input<QCheckBox>("POVRmesh2")->setChecked(true);
        OptDlg->OkBtn->click();
    });
    MainForm->mOptionClick();
    EXPECT_EQ(Log().size(), before);

    // Multi-object mode reads the walls and the roof as two objects.
    WhenShown(OptDlg, [] {
        OptDlg->Input<QCheckBox>("DXFmulti")->setChecked(true);
        OptDlg->OkBtn->click();
    });
    MainForm->mOptionClick();
    const QStringList log = Log();
    ASSERT_GE(log.size(), before + 4);
    EXPECT_EQ(log[before], QString());
    EXPECT_EQ(log[before + 1], QStringLiteral("読み込みの設定が変わったので、図面を読み直します."));
    EXPECT_EQ(log[before + 3], QStringLiteral("DXF:") + house);
    EXPECT_EQ(log[before + 4], QStringLiteral("Object数：2"));
    EXPECT_EQ(MainForm->objectCount, 2);
    EXPECT_TRUE(MainForm->FileSaveAsItem->isEnabled());

    // Cancel changes nothing and reads nothing.
    const qsizetype after = Log().size();
    WhenShown(OptDlg, [] {
        OptDlg->Input<QCheckBox>("DXFmulti")->setChecked(false);
        OptDlg->CanBtn->click();
    });
    MainForm->mOptionClick();
    EXPECT_EQ(Log().size(), after);
}

TEST_F(AppWindowsTest, RefusedDrawingReadsWhenLenientReadingIsTurnedOn) {
    const QString drawing = dir.filePath(QStringLiteral("mixed.dxf"));
    QFile file(drawing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n8\n0\n66\n1\n70\n0\n0\nVERTEX\n8\n0\n10\n0\n"
        "20\n0\n30\n0\n0\nVERTEX\n8\n0\n10\n1\n20\n0\n30\n0\n0\nSEQEND\n"
        "0\n3DFACE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n0\n22\n1\n32\n0\n"
        "13\n0\n23\n1\n33\n0\n0\nENDSEC\n0\nEOF\n");
    file.close();
    MainForm->LoadDxf(drawing);
    EXPECT_EQ(MainForm->objectCount, 0);
    EXPECT_FALSE(MainForm->FileSaveAsItem->isEnabled());
    // The option the hint names, where it names it.
    WhenShown(OptDlg, [] {
        OptDlg->Input<QCheckBox>("DXFskip")->setChecked(true);
        OptDlg->OkBtn->click();
    });
    MainForm->mOptionClick();
    EXPECT_EQ(MainForm->objectCount, 1);
    EXPECT_TRUE(MainForm->FileSaveAsItem->isEnabled());
    EXPECT_EQ(Log().last(), QStringLiteral("変換しなかった図形：POLYLINE(読み飛ばし) = 1"));
}

TEST_F(AppWindowsTest, PreviewKeysActAsInTheMainWindow) {
    MainForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    auto showPreview = [] {
        PView->show();
        PView->activateWindow();
        return QTest::qWaitForWindowActive(PView);
    };
    // Escape closes the preview as it closes a dialog.
    ASSERT_TRUE(showPreview());
    QTest::keyClick(PView, Qt::Key_Escape);
    EXPECT_FALSE(PView->isVisible());
    EXPECT_TRUE(MainForm->isVisible());

    // F1 opens the help of the main window.
    ASSERT_TRUE(showPreview());
    bool helped = false;
    WhenShown(AboutBox, [&helped] {
        helped = true;
        AboutBox->accept();
    });
    QTest::keyClick(PView, Qt::Key_F1);
    EXPECT_TRUE(helped);

    // Ctrl+Q ends the run from the preview too.
    ASSERT_TRUE(showPreview());
    QTest::keyClick(PView, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(MainForm->isVisible());
    EXPECT_FALSE(PView->isVisible());
}

TEST_F(AppWindowsTest, PreviewFirstOpensBesideTheMainWindow) {
    // The test screen is 1280 wide: the main window at its layout place
    // leaves room on its right.
    MainForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    PView->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(PView));
    const QRect main = MainForm->frameGeometry();
    const QRect preview = PView->frameGeometry();
    EXPECT_FALSE(main.intersects(preview));
    EXPECT_EQ(preview.left(), main.right() + 1);
    EXPECT_EQ(preview.top(), main.top());
    // Moved by the user, it stays where they left it at the next showing.
    PView->close();
    PView->move(700, 300);
    PView->show();
    EXPECT_EQ(PView->pos(), QPoint(700, 300));
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
