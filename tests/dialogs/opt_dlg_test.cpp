// The conversion options dialog driven the way the main window drives it:
// SetOpt at the first opening, OptBack before every showing, Getopt after OK.
#include "dialogs/opt_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "controls/numedit.h"

namespace vertoko {

namespace {

// The options as the main window holds them, with the settings defaults.
struct MainOptions {
    std::int32_t dxfMulti = 0;
    std::int32_t dxfClv = 1;
    float dxfVdist = 0.0f;
    std::string estrOpt = "s";
    vertoko::PovOption povOpt{1, "pigment {color rgb <1,1,1>}"};
    ExtraOptions extra;
    bool optFirst = true;
};

// Ended: the actions themselves end the dialog (waited for, up to a second).
enum class Ending { Ok, Cancel, CloseBox, Ended };

class OptDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TNumEdit::SetErrorHandler(
            [this](QWidget*, const std::string& message) { errors.push_back(message); });
    }
    void TearDown() override { TNumEdit::SetErrorHandler(nullptr); }

    // One opening as the main window does it; during runs while the dialog
    // is showing, then the dialog is ended. True when it ended with OK.
    bool Open(Ending ending, const std::function<void()>& during = {}) {
        if (main.optFirst) {
            dlg.SetOpt(main.dxfMulti, main.dxfClv, main.povOpt, main.estrOpt, main.dxfVdist);
            dlg.SetExtraOpt(main.extra);
            main.optFirst = false;
        }
        dlg.OptBack();
        QTimer::singleShot(0, &dlg, [this, ending, during] {
            dlg.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
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
                case Ending::Ended:
                    EXPECT_TRUE(QTest::qWaitFor([this] { return !dlg.isVisible(); }));
                    break;
            }
            // Whatever happened above, never leave the modal loop running.
            if (dlg.isVisible()) dlg.done(QDialog::Rejected + 100);
        });
        const bool ok = dlg.exec() == QDialog::Accepted;
        if (ok) {
            dlg.Getopt(main.dxfMulti, main.dxfClv, main.povOpt, main.estrOpt, main.dxfVdist);
            dlg.GetExtraOpt(main.extra);
        }
        return ok;
    }

    // Replaces the text of an input by typing into it.
    static void Type(QLineEdit* input, const QString& text) {
        input->setFocus();
        input->selectAll();
        QTest::keyClicks(input, text);
    }

    MainOptions main;
    TOptDlg dlg;
    std::vector<std::string> errors;
};

bool UsableLook(QWidget* input) {
    const QColor base = input->palette().color(QPalette::Disabled, QPalette::Base);
    return input->isEnabled() && base == QApplication::palette().color(QPalette::Base);
}

bool UnusableLook(QWidget* input) {
    const QColor base = input->palette().color(QPalette::Active, QPalette::Base);
    return !input->isEnabled() && base == QApplication::palette().color(QPalette::Button);
}

TEST_F(OptDlgTest, LayoutStartsWithCaptionsAndDependentInputsOff) {
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Vertoko - 入出力設定"));
    EXPECT_EQ(dlg.size(), QSize(452, 342));
    EXPECT_EQ(dlg.ChkSopt->text(), QString::fromUtf8("\"s\"（スムース）"));
    EXPECT_EQ(dlg.OkBtn->text(), QString::fromUtf8("O K"));
    EXPECT_TRUE(dlg.OkBtn->isDefault());
    EXPECT_EQ(dlg.Vdist->text(), "0.00000");
    EXPECT_EQ(dlg.Kvalue->text(), "0.0000");
    EXPECT_EQ(dlg.PovOpt->text(), "pigment { color rgb <1,1,1> }");
    EXPECT_TRUE(UnusableLook(dlg.Vdist));
    EXPECT_TRUE(UnusableLook(dlg.Kvalue));
    EXPECT_TRUE(UnusableLook(dlg.ColName));
    EXPECT_TRUE(dlg.PovOpt->isEnabled());
}

TEST_F(OptDlgTest, EnablingFollowsTheBoxAndKeepsTheText) {
    dlg.ColName->setText("red");
    dlg.ChkCopt->setChecked(true);
    EXPECT_TRUE(UsableLook(dlg.ColName));
    dlg.ChkCopt->click();
    EXPECT_TRUE(UnusableLook(dlg.ColName));
    EXPECT_EQ(dlg.ColName->text(), "red");
    dlg.ChkKopt->click();
    EXPECT_TRUE(UsableLook(dlg.Kvalue));
}

TEST_F(OptDlgTest, DefaultStringGivesSmoothOnlyAndOkAddsTheBlank) {
    EXPECT_TRUE(Open(Ending::Ok, [this] {
        EXPECT_TRUE(dlg.ChkSopt->isChecked());
        EXPECT_FALSE(dlg.ChkKopt->isChecked());
        EXPECT_FALSE(dlg.ChkNopt->isChecked());
        EXPECT_FALSE(dlg.ChkCopt->isChecked());
        EXPECT_TRUE(dlg.ChkClv->isChecked());
        EXPECT_TRUE(UsableLook(dlg.Vdist));
        EXPECT_TRUE(dlg.ChkPsm->isChecked());
        EXPECT_EQ(dlg.PovOpt->text(), "pigment {color rgb <1,1,1>}");
    }));
    EXPECT_EQ(main.estrOpt, " s");
    EXPECT_EQ(main.dxfMulti, 0);
    EXPECT_EQ(main.dxfClv, 1);
    EXPECT_EQ(main.dxfVdist, 0.0f);
    EXPECT_EQ(main.povOpt.smooth, 1);
    EXPECT_EQ(main.povOpt.state, "pigment {color rgb <1,1,1>}");
}

TEST_F(OptDlgTest, FullStringRoundTrips) {
    main.estrOpt = " s k 0.250000 n c red";
    EXPECT_TRUE(Open(Ending::Ok, [this] {
        EXPECT_TRUE(dlg.ChkSopt->isChecked() && dlg.ChkKopt->isChecked() &&
                    dlg.ChkNopt->isChecked() && dlg.ChkCopt->isChecked());
        EXPECT_EQ(dlg.Kvalue->Value(), 2500);
        EXPECT_EQ(dlg.Kvalue->text(), "0.25");
        EXPECT_EQ(dlg.ColName->text(), "red");
        EXPECT_TRUE(UsableLook(dlg.Kvalue));
        EXPECT_TRUE(UsableLook(dlg.ColName));
    }));
    EXPECT_EQ(main.estrOpt, " s k 0.250000 n c red");
}

TEST_F(OptDlgTest, ReadingStopsEarly) {
    main.estrOpt = " s x k 0.5";
    Open(Ending::Ok);
    EXPECT_TRUE(dlg.ChkSopt->isChecked());
    EXPECT_FALSE(dlg.ChkKopt->isChecked());
    EXPECT_EQ(dlg.Kvalue->Value(), 0);
    EXPECT_EQ(main.estrOpt, " s");
}

TEST_F(OptDlgTest, WordAfterKIsItsNumber) {
    main.estrOpt = "k s";
    Open(Ending::Ok);
    EXPECT_TRUE(dlg.ChkKopt->isChecked());
    EXPECT_FALSE(dlg.ChkSopt->isChecked());
    EXPECT_EQ(main.estrOpt, " k 0.000000");
}

TEST_F(OptDlgTest, ColourNameWithABlankComesBackAsItsFirstWord) {
    main.estrOpt = "s";
    Open(Ending::Ok, [this] {
        dlg.ChkCopt->click();
        Type(dlg.ColName, "dark red");
    });
    EXPECT_EQ(main.estrOpt, " s c dark red");

    // The next run reads the saved string afresh.
    TOptDlg next;
    next.SetOpt(0, 0, main.povOpt, main.estrOpt, 0.0f);
    EXPECT_EQ(next.ColName->text(), "dark");
    EXPECT_TRUE(next.ChkSopt->isChecked());
}

TEST_F(OptDlgTest, CheckedColourWithEmptyNameAddsNothing) {
    main.estrOpt = "n";
    Open(Ending::Ok, [this] { dlg.ChkCopt->click(); });
    EXPECT_EQ(main.estrOpt, " n");
}

TEST_F(OptDlgTest, FirstOpeningCancelledLeavesEverythingAsItWas) {
    main.estrOpt = "s k 2 n c blue extra";
    main.dxfVdist = 0.25f;
    const MainOptions before = main;
    EXPECT_FALSE(Open(Ending::Cancel, [this] {
        dlg.ChkSopt->click();
        dlg.ChkMobj->click();
        Type(dlg.PovOpt, "changed");
    }));
    EXPECT_EQ(main.estrOpt, before.estrOpt);
    EXPECT_EQ(main.povOpt.state, before.povOpt.state);
    EXPECT_EQ(main.dxfMulti, before.dxfMulti);
    EXPECT_TRUE(dlg.ChkSopt->isChecked());
    EXPECT_FALSE(dlg.ChkMobj->isChecked());
    EXPECT_EQ(dlg.PovOpt->text(), "pigment {color rgb <1,1,1>}");

    // The dialog still holds the options: OK now gives the built form.
    Open(Ending::Ok);
    EXPECT_EQ(main.estrOpt, " s k 2.000000 n c blue");
    EXPECT_EQ(main.dxfVdist, 0.25f);
}

TEST_F(OptDlgTest, CancelPutsBackTheExactAcceptedValue) {
    main.estrOpt = "";
    Open(Ending::Ok, [this] {
        dlg.ChkKopt->click();
        Type(dlg.Kvalue, "1234.5678");
    });
    EXPECT_EQ(main.estrOpt, " k 1234.567800");
    EXPECT_EQ(dlg.Kvalue->Value(), 12345678);

    Open(Ending::Cancel, [this] {
        Type(dlg.Kvalue, "9");
        dlg.ChkKopt->click();
        dlg.ChkClv->click();
        dlg.ChkCopt->click();
        Type(dlg.ColName, "green");
        dlg.setFocus();
    });
    EXPECT_EQ(dlg.Kvalue->Value(), 12345678);
    EXPECT_EQ(dlg.Kvalue->text(), "1234.5678");
    EXPECT_TRUE(dlg.ChkKopt->isChecked());
    EXPECT_TRUE(UsableLook(dlg.Kvalue));
    EXPECT_TRUE(dlg.ChkClv->isChecked());
    EXPECT_TRUE(UsableLook(dlg.Vdist));
    EXPECT_FALSE(dlg.ChkCopt->isChecked());
    EXPECT_TRUE(UnusableLook(dlg.ColName));
    EXPECT_EQ(dlg.ColName->text(), "");
    EXPECT_EQ(main.estrOpt, " k 1234.567800");
}

TEST_F(OptDlgTest, CloseBoxPutsBackLikeCancel) {
    Open(Ending::Ok);
    EXPECT_FALSE(Open(Ending::CloseBox, [this] {
        dlg.ChkNopt->click();
        Type(dlg.PovOpt, "texture {T}");
    }));
    EXPECT_FALSE(dlg.ChkNopt->isChecked());
    EXPECT_EQ(dlg.PovOpt->text(), "pigment {color rgb <1,1,1>}");
    // The next OK gives what the main window already holds.
    const std::string held = main.estrOpt;
    Open(Ending::Ok);
    EXPECT_EQ(main.estrOpt, held);
    EXPECT_EQ(main.povOpt.state, "pigment {color rgb <1,1,1>}");
}

TEST_F(OptDlgTest, BlankStatementBecomesEmpty) {
    Open(Ending::Ok, [this] { Type(dlg.PovOpt, "   "); });
    EXPECT_EQ(main.povOpt.state, "");
    Open(Ending::Ok, [this] { dlg.ChkPsm->click(); });
    EXPECT_EQ(main.povOpt.smooth, 0);
}

TEST_F(OptDlgTest, CleaningOffKeepsTheDistance) {
    main.dxfVdist = 0.001f;
    Open(Ending::Ok, [this] {
        EXPECT_EQ(dlg.Vdist->Value(), 10);
        dlg.ChkClv->click();
    });
    EXPECT_EQ(main.dxfClv, 0);
    EXPECT_EQ(main.dxfVdist, 0.001f);
    EXPECT_TRUE(UnusableLook(dlg.Vdist));

    Open(Ending::Ok, [this] {
        dlg.ChkClv->click();
        EXPECT_EQ(dlg.Vdist->Value(), 10);
    });
    EXPECT_EQ(main.dxfClv, 1);
    EXPECT_EQ(main.dxfVdist, 0.001f);
}

TEST_F(OptDlgTest, TypedDistanceIsTakenWhenOkIsPressed) {
    Open(Ending::Ok, [this] { Type(dlg.Vdist, "0.00015"); });
    EXPECT_EQ(dlg.Vdist->text(), "0.00015");
    EXPECT_EQ(main.dxfVdist, 0.0002f);
}

TEST_F(OptDlgTest, EnterInANumberTakesItAndPressesOk) {
    main.estrOpt = "k 1";
    const bool ok = Open(Ending::Ended, [this] {
        Type(dlg.Kvalue, "0.75");
        QTest::keyClick(dlg.Kvalue, Qt::Key_Return);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(main.estrOpt, " k 0.750000");
}

TEST_F(OptDlgTest, EnterOnATextThatIsNotANumberKeepsTheDialogOpen) {
    bool stillOpen = false;
    Open(Ending::Cancel, [this, &stillOpen] {
        dlg.ChkClv->setChecked(true);
        Type(dlg.Vdist, "1..2");
        QTest::keyClick(dlg.Vdist, Qt::Key_Return);
        stillOpen = dlg.isVisible();
        dlg.Vdist->setText("0");
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.front(), "'1..2' は浮動小数点数ではありません");
}

TEST_F(OptDlgTest, LongTextsAreCutToWhatTheOptionsHold) {
    main.povOpt.state = std::string(100, 'p');
    Open(Ending::Ok, [this] {
        EXPECT_EQ(dlg.PovOpt->text().size(), 87);
        dlg.ChkKopt->click();
        dlg.ChkNopt->click();
        dlg.ChkCopt->click();
        Type(dlg.ColName, QString(100, 'c'));
        EXPECT_EQ(dlg.ColName->text().size(), 76);
    });
    EXPECT_EQ(main.povOpt.state, std::string(87, 'p'));
    // " s k 0.000000 n c " leaves 61 characters of the name.
    EXPECT_EQ(main.estrOpt, " s k 0.000000 n c " + std::string(61, 'c'));
    EXPECT_EQ(dlg.ColName->text(), QString(61, 'c'));

    // Limits are bytes of UTF-8: 40 three-byte kana keep 29.
    Open(Ending::Ok, [this] { dlg.PovOpt->setText(QString(40, QChar(0xFF71))); });
    EXPECT_EQ(main.povOpt.state.size(), 87u);
    EXPECT_EQ(dlg.PovOpt->text(), QString(29, QChar(0xFF71)));
}

TEST_F(OptDlgTest, LaterSwitchesStartOffAndTravelLikeTheOthers) {
    EXPECT_TRUE(Open(Ending::Ok, [this] {
        for (QCheckBox* box : {dlg.ChkSkip, dlg.ChkInsert, dlg.ChkColor, dlg.ChkOrient,
                               dlg.ChkMesh2, dlg.ChkFit, dlg.ChkObjNormal})
            EXPECT_FALSE(box->isChecked()) << box->text().toStdString();
        EXPECT_EQ(dlg.Crease->text(), "180");
        EXPECT_TRUE(UsableLook(dlg.Crease));
    }));
    EXPECT_EQ(main.povOpt.crease, 180.0f);
    EXPECT_EQ(main.extra.dxfSkip, 0);
    EXPECT_EQ(main.povOpt.mesh2, 0);

    Open(Ending::Ok, [this] {
        for (QCheckBox* box : {dlg.ChkSkip, dlg.ChkInsert, dlg.ChkColor, dlg.ChkOrient,
                               dlg.ChkMesh2, dlg.ChkFit, dlg.ChkObjNormal})
            box->click();
        Type(dlg.Crease, "45");
    });
    EXPECT_EQ(main.extra.dxfSkip, 1);
    EXPECT_EQ(main.extra.dxfInsert, 1);
    EXPECT_EQ(main.extra.dxfColor, 1);
    EXPECT_EQ(main.extra.dxfOrient, 1);
    EXPECT_EQ(main.extra.objNormal, 1);
    EXPECT_EQ(main.povOpt.mesh2, 1);
    EXPECT_EQ(main.povOpt.fit, 1);
    EXPECT_EQ(main.povOpt.crease, 45.0f);

    // Cancel puts every one back, the angle too.
    EXPECT_FALSE(Open(Ending::Cancel, [this] {
        dlg.ChkInsert->click();
        dlg.ChkObjNormal->click();
        Type(dlg.Crease, "10");
        dlg.setFocus();
    }));
    EXPECT_TRUE(dlg.ChkInsert->isChecked());
    EXPECT_TRUE(dlg.ChkObjNormal->isChecked());
    EXPECT_EQ(dlg.Crease->Value(), 450000);
    EXPECT_EQ(main.extra.dxfInsert, 1);
}

TEST_F(OptDlgTest, SmoothingAngleFollowsSmoothingAndIsHeldToHalfATurn) {
    main.povOpt.crease = 30.0f;
    Open(Ending::Ok, [this] {
        EXPECT_EQ(dlg.Crease->Value(), 300000);
        dlg.ChkPsm->click();
        EXPECT_TRUE(UnusableLook(dlg.Crease));
    });
    // Smoothing off keeps the angle for when it comes back.
    EXPECT_EQ(main.povOpt.smooth, 0);
    EXPECT_EQ(main.povOpt.crease, 30.0f);

    Open(Ending::Ok, [this] {
        dlg.ChkPsm->click();
        EXPECT_TRUE(UsableLook(dlg.Crease));
        Type(dlg.Crease, "500");
    });
    EXPECT_EQ(main.povOpt.crease, 180.0f);
    EXPECT_EQ(dlg.Crease->Value(), 1800000);
}

}  // namespace

}  // namespace vertoko
