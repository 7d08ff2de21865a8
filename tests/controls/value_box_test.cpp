// The value box: the entry logic's key sequences, and the widget's keys,
// focus, caret timer, arrow buttons and range message.
#include "controls/value_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <string>
#include <vector>

namespace vertoko {
namespace {

void Digits(ValueEntry& entry, const std::string& digits) {
    for (char c : digits) entry.KeyDown(ValueKey::Digit, c - '0');
}

struct EntryFixture : ::testing::Test {
    EntryFixture() {
        entry.OnRangeError = [this] { rangeErrors.push_back(entry.RangeMessage()); };
        entry.OnChanged = [this] { ++changes; };
    }
    ValueEntry entry;
    std::vector<std::string> rangeErrors;
    int changes = 0;
};

TEST_F(EntryFixture, NegativeEntryCommitMoreDigitsAndARefusedCommit) {
    entry.SetMin(-10);
    entry.SetMax(10);
    entry.KeyDown(ValueKey::Minus);
    EXPECT_EQ(entry.ShownText(), "-");
    EXPECT_EQ(entry.CaretText(), "-");
    Digits(entry, "7");
    EXPECT_EQ(entry.ShownText(), "-7");
    entry.KeyDown(ValueKey::Commit);
    EXPECT_EQ(entry.Value(), -7);
    EXPECT_EQ(changes, 1);
    Digits(entry, "5");  // still negative entry: the number grows downwards
    EXPECT_EQ(entry.ShownText(), "-75");
    EXPECT_EQ(entry.CaretText(), "5");
    EXPECT_FALSE(entry.SetValue(entry.Entry()));
    EXPECT_EQ(entry.Value(), -7);
    EXPECT_EQ(entry.ShownText(), "-7");
    EXPECT_FALSE(entry.NegativeEntry());
    ASSERT_EQ(rangeErrors.size(), 1u);
    EXPECT_EQ(rangeErrors[0], "数値を-10～10の間で指定してください");
    EXPECT_EQ(changes, 2);  // a refused number is reported as a change too
}

TEST_F(EntryFixture, MinusNeedsAnEmptyEntryAndANegativeMinimum) {
    entry.KeyDown(ValueKey::Minus);  // Min is 0
    EXPECT_FALSE(entry.NegativeEntry());
    Digits(entry, "5");
    EXPECT_EQ(entry.ShownText(), "5");

    entry.SetMin(-100);
    entry.KeyDown(ValueKey::Minus);  // the entry is not 0
    Digits(entry, "3");
    EXPECT_EQ(entry.Entry(), 53);
}

TEST_F(EntryFixture, SpaceOnALoneMinusCommitsZeroAndDropsTheSign) {
    entry.SetMin(-10);
    entry.KeyDown(ValueKey::Minus);
    entry.KeyDown(ValueKey::Commit);
    EXPECT_EQ(entry.Value(), 0);
    EXPECT_FALSE(entry.NegativeEntry());
    EXPECT_EQ(entry.ShownText(), "0");
}

TEST_F(EntryFixture, LeavingTheSixteenBitRangeResetsTheEntryToZero) {
    entry.SetMax(32767);
    Digits(entry, "9999");
    EXPECT_EQ(entry.Entry(), 9999);
    Digits(entry, "9");
    EXPECT_EQ(entry.Entry(), 0);
    Digits(entry, "9");
    EXPECT_EQ(entry.Entry(), 9);

    entry.SetMin(-32768);
    entry.KeyDown(ValueKey::Clear);
    entry.KeyDown(ValueKey::Minus);
    Digits(entry, "32768");
    EXPECT_EQ(entry.Entry(), -32768);  // the lowest 16-bit number still fits
    Digits(entry, "0");
    EXPECT_EQ(entry.Entry(), 0);
}

TEST_F(EntryFixture, BackspaceClearsTheWholeEntryAndTheSign) {
    entry.SetMin(-500);
    entry.KeyDown(ValueKey::Minus);
    Digits(entry, "123");
    entry.KeyDown(ValueKey::Clear);
    EXPECT_EQ(entry.Entry(), 0);
    EXPECT_FALSE(entry.NegativeEntry());
    EXPECT_EQ(entry.ShownText(), "0");
    EXPECT_EQ(entry.Value(), 0);  // nothing committed
    EXPECT_EQ(changes, 0);
}

TEST_F(EntryFixture, OtherKeysDoNothing) {
    Digits(entry, "4");
    entry.KeyDown(ValueKey::Other);
    EXPECT_EQ(entry.Entry(), 4);
    EXPECT_EQ(entry.Value(), 0);
}

TEST_F(EntryFixture, ArrowStepsCommitAPendingEntryFirstAndRefuseStepsPastTheRange) {
    entry.SetMax(10);
    Digits(entry, "5");
    entry.StepUp();
    EXPECT_EQ(entry.Value(), 6);
    EXPECT_EQ(changes, 2);  // the entry, then the step

    entry.SetValue(10);
    changes = 0;
    entry.StepUp();
    EXPECT_EQ(entry.Value(), 10);
    EXPECT_EQ(rangeErrors.size(), 1u);
    EXPECT_EQ(changes, 1);

    entry.SetValue(0);
    entry.StepDown();
    EXPECT_EQ(entry.Value(), 0);
    EXPECT_EQ(rangeErrors.size(), 2u);
}

TEST_F(EntryFixture, BoundsNeverCross) {
    entry.SetMin(5);
    entry.SetMax(4);
    EXPECT_EQ(entry.Max(), 255);
    entry.SetMin(256);
    EXPECT_EQ(entry.Min(), 5);
    entry.SetMax(5);
    EXPECT_EQ(entry.Max(), 5);
    entry.SetMin(5);
    EXPECT_EQ(entry.Min(), 5);
}

// A window with the value box and a line edit to move the focus to.
struct BoxFixture : ::testing::Test {
    BoxFixture() {
        TValueBox::SetMessageHandler(
            [this](QWidget*, const std::string& text, const std::string& caption) {
                messages.push_back(caption + "|" + text);
            });
        auto* layout = new QVBoxLayout(&window);
        box = new TValueBox(&window);
        other = new QLineEdit(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        box->OnChange = [this](TValueBox* sender) {
            EXPECT_EQ(sender, box);
            ++changes;
        };
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        box->setFocus();
    }
    ~BoxFixture() override { TValueBox::SetMessageHandler(nullptr); }

    QWidget window;
    TValueBox* box = nullptr;
    QLineEdit* other = nullptr;
    std::vector<std::string> messages;
    int changes = 0;
};

TEST_F(BoxFixture, TypedKeysCommitOnSpaceAndARefusedNumberIsReportedOnFocusLoss) {
    box->SetMin(-10);
    box->SetMax(10);
    box->SetShowMessageBox(true);
    QTest::keyClick(box, Qt::Key_Minus);
    QTest::keyClick(box, Qt::Key_7);
    EXPECT_EQ(box->Entry().ShownText(), "-7");
    EXPECT_EQ(box->Value(), 0);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(box->Value(), -7);
    QTest::keyClick(box, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(box->Entry().Entry(), -75);
    QTest::keyClick(box, Qt::Key_Return);  // Enter does not commit
    EXPECT_EQ(box->Value(), -7);
    EXPECT_EQ(changes, 1);

    other->setFocus();
    EXPECT_EQ(box->Value(), -7);
    EXPECT_EQ(box->Entry().ShownText(), "-7");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "数値入力について|数値を-10～10の間で指定してください");
    EXPECT_EQ(changes, 2);
}

TEST_F(BoxFixture, NoMessageUnlessAskedFor) {
    box->SetMax(10);
    QTest::keyClicks(box, "99 ");
    EXPECT_EQ(box->Value(), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(changes, 1);
}

TEST_F(BoxFixture, FocusStartsTheCaretTimerAndFocusLossCommitsAndStopsIt) {
    EXPECT_EQ(box->Timer()->interval(), 750);
    EXPECT_TRUE(box->Timer()->isActive());
    EXPECT_TRUE(box->CaretOn());
    box->OnTimer();
    EXPECT_FALSE(box->CaretOn());
    box->OnTimer();
    EXPECT_TRUE(box->CaretOn());

    QTest::keyClicks(box, "42");
    other->setFocus();
    EXPECT_FALSE(box->Timer()->isActive());
    EXPECT_FALSE(box->CaretOn());
    EXPECT_EQ(box->Value(), 42);
}

TEST_F(BoxFixture, ArrowButtonsTakeTheFocusCommitTheEntryAndStep) {
    box->SetMax(20);
    QTest::keyClicks(box, "7");
    other->setFocus();  // commits 7
    EXPECT_EQ(box->Value(), 7);
    changes = 0;
    QTest::mouseClick(box->UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->Value(), 8);
    QTest::mouseClick(box->UpDown()->DownButton(), Qt::LeftButton);
    QTest::mouseClick(box->UpDown()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(box->Value(), 6);
    EXPECT_EQ(changes, 3);

    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, "20");
    QTest::mouseClick(box->UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(box->Value(), 20);  // the entry is taken, the step past Max is not
}

TEST_F(BoxFixture, ClickingTheNumberGivesTheBoxTheFocus) {
    other->setFocus();
    ASSERT_FALSE(box->hasFocus());
    QTest::mouseClick(box->PaintBox(), Qt::LeftButton);
    EXPECT_TRUE(box->hasFocus());
}

TEST(TValueBoxLayout, DefaultsAndTheFontFollowingTheHeight) {
    TValueBox box;
    EXPECT_EQ(box.width(), 50);
    EXPECT_EQ(box.height(), 20);
    EXPECT_EQ(box.font().pointSize(), 9);
    EXPECT_EQ(box.Max(), 255);
    EXPECT_EQ(box.Min(), 0);
    EXPECT_TRUE(box.ShowUpDown());
    EXPECT_FALSE(box.ShowMessageBox());
    EXPECT_EQ(box.UpDownWidth(), 15);
    EXPECT_EQ(box.focusPolicy() & Qt::TabFocus, Qt::TabFocus);

    const QRect client = box.contentsRect();
    EXPECT_EQ(box.UpDown()->geometry().width(), 15);
    EXPECT_EQ(box.UpDown()->geometry().right(), client.right());
    EXPECT_EQ(box.PaintBox()->geometry().right(), client.right() - 15);
    box.SetShowUpDown(false);
    EXPECT_EQ(box.PaintBox()->geometry(), client);

    QFont larger = box.font();
    larger.setPointSize(14);
    box.setFont(larger);
    EXPECT_EQ(box.height(), 25);
    box.show();  // a hidden widget gets its resize event only when shown
    box.resize(50, 30);
    EXPECT_EQ(box.font().pointSize(), 19);
    EXPECT_EQ(box.height(), 30);
}

}  // namespace
}  // namespace vertoko
