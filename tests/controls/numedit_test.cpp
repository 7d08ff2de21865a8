// Typing into TNumEdit and moving the focus away, in a real window on the
// offscreen platform.
#include "controls/numedit.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <string>
#include <vector>

namespace vertoko {

namespace {

class NumEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TNumEdit::SetErrorHandler(
            [this](QWidget*, const std::string& message) { errors.push_back(message); });
        auto* layout = new QVBoxLayout(&window);
        edit = new TNumEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { TNumEdit::SetErrorHandler(nullptr); }

    // Replaces the text by typing, then moves the focus to the other edit.
    void TypeAndLeave(const QString& typed) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        other->setFocus();
    }

    QWidget window;
    TNumEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    std::vector<std::string> errors;
};

TEST_F(NumEditTest, StartsAsRightAlignedZero) {
    EXPECT_EQ(edit->text(), "0");
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(edit->Alignment(), Qt::AlignRight);
    EXPECT_TRUE(edit->alignment() & Qt::AlignRight);
    edit->SetAlignment(Qt::AlignHCenter);
    EXPECT_TRUE(edit->alignment() & Qt::AlignHCenter);
}

TEST_F(NumEditTest, LeavingReformatsAndTakesTheValue) {
    edit->SetDecimalDidits(4);
    TypeAndLeave("1,234.5");
    EXPECT_EQ(edit->text(), "1234.5000");
    EXPECT_EQ(edit->Value(), 12345000);

    TypeAndLeave("12a.3b");
    EXPECT_EQ(edit->text(), "12.3000");
    EXPECT_EQ(edit->Value(), 123000);

    TypeAndLeave("abc");
    EXPECT_EQ(edit->text(), "0.0000");
    EXPECT_EQ(edit->Value(), 0);

    TypeAndLeave("-7.25");
    EXPECT_EQ(edit->text(), "-7.2500");
    EXPECT_EQ(edit->Value(), -72500);
    EXPECT_TRUE(errors.empty());
}

TEST_F(NumEditTest, TypingAloneChangesOnlyTheText) {
    edit->SetDecimalDidits(2);
    edit->SetValue(10000);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "42");
    EXPECT_EQ(edit->text(), "42");
    EXPECT_EQ(edit->Value(), 10000);
}

TEST_F(NumEditTest, FifthDecimalShownButValueKeepsFourHalvesToEven) {
    edit->SetDecimalDidits(5);
    TypeAndLeave("0.00015");
    EXPECT_EQ(edit->text(), "0.00015");
    EXPECT_EQ(edit->Value(), 2);
    TypeAndLeave("0.00025");
    EXPECT_EQ(edit->Value(), 2);
}

TEST_F(NumEditTest, NotANumberShowsTheErrorAndKeepsTextAndValue) {
    edit->SetDecimalDidits(4);
    edit->SetValue(5000);
    TypeAndLeave("1.2.3");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "'1.2.3' は浮動小数点数ではありません");
    EXPECT_EQ(edit->text(), "1.2.3");
    EXPECT_EQ(edit->Value(), 5000);

    TypeAndLeave("x5-");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1], "'5-' は浮動小数点数ではありません");
    EXPECT_EQ(edit->text(), "x5-");
    EXPECT_EQ(edit->Value(), 5000);
}

TEST_F(NumEditTest, NumberBeyondTheFixedPointRangeIsRefused) {
    edit->SetDecimalDidits(1);
    edit->SetValue(30000);
    TypeAndLeave("99999999999999999");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(edit->text(), "99999999999999999");
    EXPECT_EQ(edit->Value(), 30000);
}

TEST_F(NumEditTest, SetValueShowsShortestFormUntilTheFocusLeaves) {
    edit->SetDecimalDidits(5);
    edit->SetValue(5000);
    EXPECT_EQ(edit->text(), "0.5");
    EXPECT_EQ(edit->Value(), 5000);
    edit->setFocus();
    other->setFocus();
    EXPECT_EQ(edit->text(), "0.50000");
    EXPECT_EQ(edit->Value(), 5000);
}

TEST_F(NumEditTest, ThousandsReformatsTextButLeavesValue) {
    edit->SetDecimalDidits(4);
    edit->setText("1234.5000");
    edit->SetValue(77);
    edit->setText("1234.5000");
    edit->SetThousands(true);
    EXPECT_EQ(edit->text(), "1,234.5000");
    EXPECT_EQ(edit->Value(), 77);
    edit->SetDecimalDidits(1);
    EXPECT_EQ(edit->text(), "1,234.5");
    EXPECT_EQ(edit->Value(), 77);

    // With thousands, SetValue uses the display pattern.
    edit->SetValue(-12345678);
    EXPECT_EQ(edit->text(), "-1,234.6");
    TypeAndLeave("1,234,567.25");
    EXPECT_EQ(edit->text(), "1,234,567.3");
    EXPECT_EQ(edit->Value(), 12345673000);
}

TEST_F(NumEditTest, EnterInsertsNothingAndTakesTheTypedNumber) {
    edit->SetDecimalDidits(2);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "3.5");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(edit->text(), "3.50");
    EXPECT_EQ(edit->Value(), 35000);
    EXPECT_FALSE(edit->text().contains('\r'));
}

}  // namespace

}  // namespace vertoko
