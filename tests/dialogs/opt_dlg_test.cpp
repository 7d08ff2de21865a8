// The conversion options dialog driven the way the main window drives it:
// SetOpt at the first opening, OptBack before every showing, Getopt after OK.
#include "dialogs/opt_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "controls/numedit.h"
#include "dialogs/estray_options_box.h"

namespace vertoko {

namespace {

// The settings as the main window holds them, with the settings defaults.
struct MainOptions {
    AppSettings settings;
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
            dlg.SetOpt(main.settings);
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
        if (ok) dlg.Getopt(main.settings);
        return ok;
    }

    // The dialog's inputs by the settings key of their option.
    QCheckBox* Box(std::string_view key) const { return dlg.Input<QCheckBox>(key); }
    TNumEdit* Number(std::string_view key) const { return dlg.Input<TNumEdit>(key); }
    QLineEdit* Line(std::string_view key) const { return dlg.Input<QLineEdit>(key); }
    EstrayOptionsBox& Estray() const { return *dlg.Input<EstrayOptionsBox>("ESTRopt"); }
    std::string& EstrOpt() { return main.settings.writer.estrOpt; }
    PovOption& Pov() { return main.settings.writer.povOpt; }
    ReaderOptions& Reader() { return main.settings.reader; }

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

TEST_F(OptDlgTest, LayoutStartsWithCaptionsAndTheDefaults) {
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Vertoko - 入出力設定"));
    EXPECT_EQ(dlg.Group(OptionGroup::Dxf)->title(), QString::fromUtf8("DXFｵﾌﾟｼｮﾝ"));
    EXPECT_EQ(dlg.Group(OptionGroup::Estray)->title(), QString::fromUtf8("EASTRAY ｵﾌﾟｼｮﾝ"));
    EXPECT_EQ(dlg.Group(OptionGroup::Pov)->title(), QString::fromUtf8("POV-Rayｵﾌﾟｼｮﾝ"));
    EXPECT_EQ(dlg.Group(OptionGroup::Obj)->title(), QString::fromUtf8("OBJｵﾌﾟｼｮﾝ"));
    EXPECT_EQ(Box("DXFmulti")->text(), QString::fromUtf8("マルチ・オブジェクト"));
    EXPECT_EQ(dlg.Caption("POVRcrease")->text(), QString::fromUtf8("スムース角度"));
    EXPECT_EQ(dlg.Caption("POVRstate")->text(), QString::fromUtf8("追加ステートメント"));
    EXPECT_EQ(Estray().ChkSopt->text(), QString::fromUtf8("\"s\"（スムース）"));
    EXPECT_EQ(dlg.OkBtn->text(), QString::fromUtf8("O K"));
    EXPECT_EQ(dlg.CanBtn->text(), QString::fromUtf8("Cancel"));
    EXPECT_TRUE(dlg.OkBtn->isDefault());
    // The colours belong to the colour dialog.
    EXPECT_EQ(dlg.Input<QWidget>("backcol"), nullptr);

    // Before the first opening the inputs show the defaults.
    EXPECT_TRUE(Box("DXFclv")->isChecked());
    EXPECT_EQ(Number("DXFvdist")->text(), "0");
    EXPECT_TRUE(UsableLook(Number("DXFvdist")));
    EXPECT_TRUE(Estray().ChkSopt->isChecked());
    EXPECT_EQ(Estray().Kvalue->text(), "0.0000");
    EXPECT_TRUE(UnusableLook(Estray().Kvalue));
    EXPECT_TRUE(UnusableLook(Estray().ColName));
    EXPECT_EQ(Line("POVRstate")->text(), "pigment {color rgb <1,1,1>}");
    EXPECT_TRUE(Line("POVRstate")->isEnabled());
    EXPECT_EQ(Number("POVRcrease")->text(), "180");
}

TEST_F(OptDlgTest, EnablingFollowsTheBoxAndKeepsTheText) {
    Estray().ColName->setText("red");
    Estray().ChkCopt->setChecked(true);
    EXPECT_TRUE(UsableLook(Estray().ColName));
    Estray().ChkCopt->click();
    EXPECT_TRUE(UnusableLook(Estray().ColName));
    EXPECT_EQ(Estray().ColName->text(), "red");
    Estray().ChkKopt->click();
    EXPECT_TRUE(UsableLook(Estray().Kvalue));
    Box("DXFclv")->click();
    EXPECT_TRUE(UnusableLook(Number("DXFvdist")));
    Box("POVRsmt")->click();
    EXPECT_TRUE(UnusableLook(Number("POVRcrease")));
    EXPECT_FALSE(dlg.Caption("POVRcrease")->isEnabled());
}

TEST_F(OptDlgTest, DefaultStringGivesSmoothOnlyAndOkAddsTheBlank) {
    EXPECT_TRUE(Open(Ending::Ok, [this] {
        EXPECT_TRUE(Estray().ChkSopt->isChecked());
        EXPECT_FALSE(Estray().ChkKopt->isChecked());
        EXPECT_FALSE(Estray().ChkNopt->isChecked());
        EXPECT_FALSE(Estray().ChkCopt->isChecked());
        EXPECT_TRUE(Box("DXFclv")->isChecked());
        EXPECT_TRUE(UsableLook(Number("DXFvdist")));
        EXPECT_TRUE(Box("POVRsmt")->isChecked());
        EXPECT_EQ(Line("POVRstate")->text(), "pigment {color rgb <1,1,1>}");
    }));
    EXPECT_EQ(EstrOpt(), " s");
    EXPECT_EQ(Reader().dxfMulti, 0);
    EXPECT_EQ(Reader().dxfClv, 1);
    EXPECT_EQ(Reader().dxfVdist, 0.0f);
    EXPECT_EQ(Pov().smooth, 1);
    EXPECT_EQ(Pov().state, "pigment {color rgb <1,1,1>}");
}

TEST_F(OptDlgTest, FirstOpeningShowsTheMainWindowsValuesBothWays) {
    // Values opposite to the defaults clear what the defaults checked.
    main.settings.reader.dxfClv = 0;
    Pov().smooth = 0;
    EstrOpt() = "n";
    Pov().state = "texture {T}";
    Open(Ending::Ok, [this] {
        EXPECT_FALSE(Box("DXFclv")->isChecked());
        EXPECT_TRUE(UnusableLook(Number("DXFvdist")));
        EXPECT_FALSE(Box("POVRsmt")->isChecked());
        EXPECT_TRUE(UnusableLook(Number("POVRcrease")));
        EXPECT_FALSE(Estray().ChkSopt->isChecked());
        EXPECT_TRUE(Estray().ChkNopt->isChecked());
        EXPECT_EQ(Line("POVRstate")->text(), "texture {T}");
    });
    EXPECT_EQ(Reader().dxfClv, 0);
    EXPECT_EQ(Pov().smooth, 0);
    EXPECT_EQ(EstrOpt(), " n");
}

TEST_F(OptDlgTest, FullStringRoundTrips) {
    EstrOpt() = " s k 0.250000 n c red";
    EXPECT_TRUE(Open(Ending::Ok, [this] {
        EXPECT_TRUE(Estray().ChkSopt->isChecked() && Estray().ChkKopt->isChecked() &&
                    Estray().ChkNopt->isChecked() && Estray().ChkCopt->isChecked());
        EXPECT_EQ(Estray().Kvalue->Value(), 2500);
        EXPECT_EQ(Estray().Kvalue->text(), "0.25");
        EXPECT_EQ(Estray().ColName->text(), "red");
        EXPECT_TRUE(UsableLook(Estray().Kvalue));
        EXPECT_TRUE(UsableLook(Estray().ColName));
    }));
    EXPECT_EQ(EstrOpt(), " s k 0.250000 n c red");
}

TEST_F(OptDlgTest, ReadingStopsEarly) {
    EstrOpt() = " s x k 0.5";
    Open(Ending::Ok);
    EXPECT_TRUE(Estray().ChkSopt->isChecked());
    EXPECT_FALSE(Estray().ChkKopt->isChecked());
    EXPECT_EQ(Estray().Kvalue->Value(), 0);
    EXPECT_EQ(EstrOpt(), " s");
}

TEST_F(OptDlgTest, WordAfterKIsItsNumber) {
    EstrOpt() = "k s";
    Open(Ending::Ok);
    EXPECT_TRUE(Estray().ChkKopt->isChecked());
    EXPECT_FALSE(Estray().ChkSopt->isChecked());
    EXPECT_EQ(EstrOpt(), " k 0.000000");
}

TEST_F(OptDlgTest, ColourNameWithABlankComesBackAsItsFirstWord) {
    EstrOpt() = "s";
    Open(Ending::Ok, [this] {
        Estray().ChkCopt->click();
        Type(Estray().ColName, "dark red");
    });
    EXPECT_EQ(EstrOpt(), " s c dark red");

    // The next run reads the saved string afresh.
    TOptDlg next;
    AppSettings saved;
    saved.writer.estrOpt = EstrOpt();
    next.SetOpt(saved);
    EXPECT_EQ(next.Input<EstrayOptionsBox>("ESTRopt")->ColName->text(), "dark");
    EXPECT_TRUE(next.Input<EstrayOptionsBox>("ESTRopt")->ChkSopt->isChecked());
}

TEST_F(OptDlgTest, CheckedColourWithEmptyNameAddsNothing) {
    EstrOpt() = "n";
    Open(Ending::Ok, [this] { Estray().ChkCopt->click(); });
    EXPECT_EQ(EstrOpt(), " n");
}

TEST_F(OptDlgTest, FirstOpeningCancelledLeavesEverythingAsItWas) {
    EstrOpt() = "s k 2 n c blue extra";
    Reader().dxfVdist = 0.25f;
    const MainOptions before = main;
    EXPECT_FALSE(Open(Ending::Cancel, [this] {
        Estray().ChkSopt->click();
        Box("DXFmulti")->click();
        Type(Line("POVRstate"), "changed");
    }));
    EXPECT_EQ(EstrOpt(), before.settings.writer.estrOpt);
    EXPECT_EQ(Pov().state, before.settings.writer.povOpt.state);
    EXPECT_EQ(Reader().dxfMulti, before.settings.reader.dxfMulti);
    EXPECT_TRUE(Estray().ChkSopt->isChecked());
    EXPECT_FALSE(Box("DXFmulti")->isChecked());
    EXPECT_EQ(Line("POVRstate")->text(), "pigment {color rgb <1,1,1>}");

    // The dialog still holds the options: OK now gives the built form.
    Open(Ending::Ok);
    EXPECT_EQ(EstrOpt(), " s k 2.000000 n c blue");
    EXPECT_EQ(Reader().dxfVdist, 0.25f);
}

TEST_F(OptDlgTest, CancelPutsBackTheExactAcceptedValue) {
    EstrOpt() = "";
    Open(Ending::Ok, [this] {
        Estray().ChkKopt->click();
        Type(Estray().Kvalue, "1234.5678");
    });
    EXPECT_EQ(EstrOpt(), " k 1234.567800");
    EXPECT_EQ(Estray().Kvalue->Value(), 12345678);

    Open(Ending::Cancel, [this] {
        Type(Estray().Kvalue, "9");
        Estray().ChkKopt->click();
        Box("DXFclv")->click();
        Estray().ChkCopt->click();
        Type(Estray().ColName, "green");
        dlg.setFocus();
    });
    EXPECT_EQ(Estray().Kvalue->Value(), 12345678);
    EXPECT_EQ(Estray().Kvalue->text(), "1234.5678");
    EXPECT_TRUE(Estray().ChkKopt->isChecked());
    EXPECT_TRUE(UsableLook(Estray().Kvalue));
    EXPECT_TRUE(Box("DXFclv")->isChecked());
    EXPECT_TRUE(UsableLook(Number("DXFvdist")));
    EXPECT_FALSE(Estray().ChkCopt->isChecked());
    EXPECT_TRUE(UnusableLook(Estray().ColName));
    EXPECT_EQ(Estray().ColName->text(), "");
    EXPECT_EQ(EstrOpt(), " k 1234.567800");
}

TEST_F(OptDlgTest, CloseBoxPutsBackLikeCancel) {
    Open(Ending::Ok);
    EXPECT_FALSE(Open(Ending::CloseBox, [this] {
        Estray().ChkNopt->click();
        Type(Line("POVRstate"), "texture {T}");
    }));
    EXPECT_FALSE(Estray().ChkNopt->isChecked());
    EXPECT_EQ(Line("POVRstate")->text(), "pigment {color rgb <1,1,1>}");
    // The next OK gives what the main window already holds.
    const std::string held = EstrOpt();
    Open(Ending::Ok);
    EXPECT_EQ(EstrOpt(), held);
    EXPECT_EQ(Pov().state, "pigment {color rgb <1,1,1>}");
}

TEST_F(OptDlgTest, EscapePutsBackLikeCancel) {
    EXPECT_FALSE(Open(Ending::Ended, [this] {
        Box("DXFmulti")->click();
        QTest::keyClick(&dlg, Qt::Key_Escape);
    }));
    EXPECT_FALSE(Box("DXFmulti")->isChecked());
    EXPECT_EQ(Reader().dxfMulti, 0);
}

TEST_F(OptDlgTest, BlankStatementBecomesEmpty) {
    Open(Ending::Ok, [this] { Type(Line("POVRstate"), "   "); });
    EXPECT_EQ(Pov().state, "");
    Open(Ending::Ok, [this] { Box("POVRsmt")->click(); });
    EXPECT_EQ(Pov().smooth, 0);
}

TEST_F(OptDlgTest, CleaningOffKeepsTheDistance) {
    Reader().dxfVdist = 0.001f;
    Open(Ending::Ok, [this] {
        EXPECT_EQ(Number("DXFvdist")->Value(), 10);
        Box("DXFclv")->click();
    });
    EXPECT_EQ(Reader().dxfClv, 0);
    EXPECT_EQ(Reader().dxfVdist, 0.001f);
    EXPECT_TRUE(UnusableLook(Number("DXFvdist")));

    Open(Ending::Ok, [this] {
        Box("DXFclv")->click();
        EXPECT_EQ(Number("DXFvdist")->Value(), 10);
    });
    EXPECT_EQ(Reader().dxfClv, 1);
    EXPECT_EQ(Reader().dxfVdist, 0.001f);
}

TEST_F(OptDlgTest, TypedDistanceIsTakenWhenOkIsPressed) {
    Open(Ending::Ok, [this] { Type(Number("DXFvdist"), "0.00015"); });
    EXPECT_EQ(Number("DXFvdist")->text(), "0.00015");
    EXPECT_EQ(Reader().dxfVdist, 0.0002f);
}

TEST_F(OptDlgTest, EnterInANumberTakesItAndPressesOk) {
    EstrOpt() = "k 1";
    const bool ok = Open(Ending::Ended, [this] {
        Type(Estray().Kvalue, "0.75");
        QTest::keyClick(Estray().Kvalue, Qt::Key_Return);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(EstrOpt(), " k 0.750000");
}

TEST_F(OptDlgTest, EnterOnATextThatIsNotANumberKeepsTheDialogOpen) {
    bool stillOpen = false;
    Open(Ending::Cancel, [this, &stillOpen] {
        Box("DXFclv")->setChecked(true);
        Type(Number("DXFvdist"), "1..2");
        QTest::keyClick(Number("DXFvdist"), Qt::Key_Return);
        stillOpen = dlg.isVisible();
        Number("DXFvdist")->setText("0");
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.front(), "'1..2' は浮動小数点数ではありません");
}

TEST_F(OptDlgTest, LongTextsAreCutToWhatTheOptionsHold) {
    Pov().state = std::string(100, 'p');
    Open(Ending::Ok, [this] {
        EXPECT_EQ(Line("POVRstate")->text().size(), 87);
        Estray().ChkKopt->click();
        Estray().ChkNopt->click();
        Estray().ChkCopt->click();
        Type(Estray().ColName, QString(100, 'c'));
        EXPECT_EQ(Estray().ColName->text().size(), 76);
    });
    EXPECT_EQ(Pov().state, std::string(87, 'p'));
    // " s k 0.000000 n c " leaves 61 characters of the name.
    EXPECT_EQ(EstrOpt(), " s k 0.000000 n c " + std::string(61, 'c'));
    EXPECT_EQ(Estray().ColName->text(), QString(61, 'c'));

    // Limits are bytes of UTF-8: 40 three-byte kana keep 29.
    Open(Ending::Ok, [this] { Line("POVRstate")->setText(QString(40, QChar(0xFF71))); });
    EXPECT_EQ(Pov().state.size(), 87u);
    EXPECT_EQ(Line("POVRstate")->text(), QString(29, QChar(0xFF71)));
}

TEST_F(OptDlgTest, LaterSwitchesStartOffAndTravelLikeTheOthers) {
    const char* const later[] = {"DXFskip", "DXFinsert", "DXFcolor", "DXForient", "POVRmesh2",
                                 "POVRfit", "OBJnormal", "OUTzup",   "POVRscene"};
    EXPECT_TRUE(Open(Ending::Ok, [&] {
        for (const char* key : later) EXPECT_FALSE(Box(key)->isChecked()) << key;
        EXPECT_EQ(Number("POVRcrease")->text(), "180");
        EXPECT_TRUE(UsableLook(Number("POVRcrease")));
    }));
    EXPECT_EQ(Pov().crease, 180.0f);
    EXPECT_EQ(Reader().dxfSkip, 0);
    EXPECT_EQ(Pov().mesh2, 0);

    Open(Ending::Ok, [&] {
        for (const char* key : later) Box(key)->click();
        Type(Number("POVRcrease"), "45");
    });
    EXPECT_EQ(Reader().dxfSkip, 1);
    EXPECT_EQ(Reader().dxfInsert, 1);
    EXPECT_EQ(Reader().dxfColor, 1);
    EXPECT_EQ(Reader().dxfOrient, 1);
    EXPECT_EQ(main.settings.writer.objNormal, 1);
    EXPECT_EQ(Pov().mesh2, 1);
    EXPECT_EQ(Pov().fit, 1);
    EXPECT_EQ(main.settings.writer.zUp, 1);
    EXPECT_EQ(Pov().studio, 1);
    EXPECT_EQ(Pov().crease, 45.0f);

    // Cancel puts every one back, the angle too.
    EXPECT_FALSE(Open(Ending::Cancel, [this] {
        Box("DXFinsert")->click();
        Box("OBJnormal")->click();
        Type(Number("POVRcrease"), "10");
        dlg.setFocus();
    }));
    EXPECT_TRUE(Box("DXFinsert")->isChecked());
    EXPECT_TRUE(Box("OBJnormal")->isChecked());
    EXPECT_EQ(Number("POVRcrease")->Value(), 450000);
    EXPECT_EQ(Reader().dxfInsert, 1);
}

TEST_F(OptDlgTest, SmoothingAngleFollowsSmoothingAndIsRefusedPastHalfATurn) {
    Pov().crease = 30.0f;
    Open(Ending::Ok, [this] {
        EXPECT_EQ(Number("POVRcrease")->Value(), 300000);
        Box("POVRsmt")->click();
        EXPECT_TRUE(UnusableLook(Number("POVRcrease")));
    });
    // Smoothing off keeps the angle for when it comes back.
    EXPECT_EQ(Pov().smooth, 0);
    EXPECT_EQ(Pov().crease, 30.0f);

    // 200 and -1 lie outside 0 to 180: OK says so and the dialog stays,
    // the number selected for typing over; 180 itself is taken.
    Open(Ending::Ended, [this] {
        Box("POVRsmt")->click();
        EXPECT_TRUE(UsableLook(Number("POVRcrease")));
        for (const char* outside : {"200", "-1"}) {
            errors.clear();
            Type(Number("POVRcrease"), outside);
            QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
            EXPECT_TRUE(dlg.isVisible()) << outside;
            ASSERT_EQ(errors.size(), 1u) << outside;
            EXPECT_EQ(errors[0], "スムース角度は 0 から 180 までの値を入力してください.");
            EXPECT_TRUE(Number("POVRcrease")->hasFocus());
            EXPECT_EQ(Number("POVRcrease")->selectedText(), Number("POVRcrease")->text());
            EXPECT_TRUE(Number("POVRcrease")->text().startsWith(QString::fromUtf8(outside)));
        }
        Type(Number("POVRcrease"), "180");
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
    });
    EXPECT_EQ(Pov().smooth, 1);
    EXPECT_EQ(Pov().crease, 180.0f);

    // Smoothing off, the angle is not the user's concern: a value left
    // outside the range does not hold up OK, and is not taken.
    Open(Ending::Ended, [this] {
        Type(Number("POVRcrease"), "300");
        Box("POVRsmt")->click();
        errors.clear();
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
        EXPECT_TRUE(errors.empty());
    });
    EXPECT_EQ(Pov().smooth, 0);
    EXPECT_EQ(Pov().crease, 180.0f);
}

TEST_F(OptDlgTest, ThicknessEnablesTheSegmentsAndUnitsShowTheirNames) {
    QComboBox* units = dlg.Input<QComboBox>("OUTunits");
    ASSERT_NE(units, nullptr);
    ASSERT_EQ(units->count(), 6);
    EXPECT_EQ(units->itemText(0), QString::fromUtf8("図面のまま"));
    EXPECT_EQ(units->itemText(4), QString::fromUtf8("inch"));
    EXPECT_EQ(units->itemText(5), QString::fromUtf8("foot"));
    EXPECT_TRUE(Open(Ending::Ended, [&] {
        EXPECT_FALSE(Box("DXFthick")->isChecked());
        EXPECT_EQ(Number("DXFsegments")->text(), "32");
        EXPECT_TRUE(UnusableLook(Number("DXFsegments")));
        EXPECT_EQ(units->currentIndex(), 0);
        Box("DXFthick")->click();
        EXPECT_TRUE(UsableLook(Number("DXFsegments")));
        units->setCurrentIndex(3);
        // Past the range, OK is refused with the range named.
        errors.clear();
        Type(Number("DXFsegments"), "2000");
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], "円の分割数は 3 から 1024 までの値を入力してください.");
        Type(Number("DXFsegments"), "1024");
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
    }));
    EXPECT_EQ(Reader().dxfThick, 1);
    EXPECT_EQ(Reader().dxfSegments, 1024);
    EXPECT_EQ(Reader().outUnits, static_cast<std::int32_t>(OutputUnit::Metre));
}

TEST_F(OptDlgTest, EveryOptionOfTheDialogGroupsHasAnInput) {
    // Every row of the table outside the preview colours is edited here, so
    // that a new row needs no code of the dialog's own.
    for (const OptionRow& row : OptionTable()) {
        if (row.group == OptionGroup::Preview) continue;
        QWidget* input = dlg.Input<QWidget>(row.key);
        ASSERT_NE(input, nullptr) << row.key;
        EXPECT_TRUE(dlg.Group(row.group)->isAncestorOf(input)) << row.key;
    }
}

// The widgets of the dialog with a font of their own, and the pixel sizes
// they were made with.
std::vector<std::pair<QWidget*, int>> FontedWidgets(QDialog& dialog) {
    std::vector<std::pair<QWidget*, int>> fonted{{&dialog, dialog.font().pixelSize()}};
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (child->testAttribute(Qt::WA_SetFont))
            fonted.emplace_back(child, child->font().pixelSize());
    }
    return fonted;
}

// Widgets laid out side by side in one parent.
void ExpectNoOverlap(const std::vector<QWidget*>& widgets, double scale) {
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        for (std::size_t j = i + 1; j < widgets.size(); ++j) {
            EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()))
                << "scale " << scale << ": " << widgets[i]->metaObject()->className() << " "
                << widgets[i]->objectName().toStdString() << " and "
                << widgets[j]->metaObject()->className();
        }
    }
}

TEST(OptDlgLayout, RowsNeitherOverlapNorClipAtLargerFonts) {
    for (const double scale : {1.0, 1.5, 2.0}) {
        TOptDlg dlg;
        for (const auto& [widget, pixels] : FontedWidgets(dlg)) {
            QFont font = widget->font();
            font.setPixelSize(static_cast<int>(pixels * scale + 0.5));
            widget->setFont(font);
        }
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize()) << "the dialog keeps a fixed size";

        std::vector<QWidget*> top;
        for (QWidget* child : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisible()) top.push_back(child);
        ExpectNoOverlap(top, scale);
        for (QGroupBox* group : dlg.findChildren<QGroupBox*>()) {
            std::vector<QWidget*> rows;
            for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!child->isVisible()) continue;
                rows.push_back(child);
                EXPECT_TRUE(group->contentsRect().contains(child->geometry()))
                    << "scale " << scale << " in " << group->title().toStdString();
            }
            ExpectNoOverlap(rows, scale);
        }
        // Captions get the room their text needs.
        for (QWidget* caption : dlg.findChildren<QWidget*>()) {
            if (qobject_cast<QCheckBox*>(caption) == nullptr &&
                qobject_cast<QLabel*>(caption) == nullptr &&
                qobject_cast<QPushButton*>(caption) == nullptr)
                continue;
            EXPECT_GE(caption->width(), caption->sizeHint().width()) << "scale " << scale;
            EXPECT_GE(caption->height(), caption->sizeHint().height()) << "scale " << scale;
        }
        dlg.hide();
    }
}

TEST_F(OptDlgTest, MaterialsFileIsTypedOrBrowsedAndCancelPutsItBack) {
    QWidget* input = dlg.Input<QWidget>("OUTmaterials");
    ASSERT_NE(input, nullptr);
    auto* line = input->findChild<QLineEdit*>("OUTmaterials");
    ASSERT_NE(line, nullptr);
    EXPECT_NE(input->findChild<QPushButton*>("OUTmaterialsBrowse"), nullptr);
    ASSERT_NE(dlg.Caption("OUTmaterials"), nullptr);
    EXPECT_EQ(dlg.Caption("OUTmaterials")->text(), QString::fromUtf8("材質ファイル"));

    // Blanks around a typed path are no part of it; a Japanese path is kept.
    EXPECT_TRUE(Open(Ending::Ok, [&] { line->setText(QString::fromUtf8("  /家/材質.txt ")); }));
    EXPECT_EQ(main.settings.writer.materials, "/家/材質.txt");
    EXPECT_FALSE(Open(Ending::Cancel, [&] { Type(line, "/other.txt"); }));
    EXPECT_EQ(main.settings.writer.materials, "/家/材質.txt");
    Open(Ending::Ok, [&] { EXPECT_EQ(line->text(), QString::fromUtf8("/家/材質.txt")); });
    // Emptied, no file is used.
    EXPECT_TRUE(Open(Ending::Ok, [&] { line->clear(); }));
    EXPECT_EQ(main.settings.writer.materials, "");
}

}  // namespace

}  // namespace vertoko
