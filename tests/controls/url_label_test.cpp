// The link label's colours through enter, press, release and leave, its
// cursor, and opening the caption on the press of any button.
#include "controls/url_label.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>
#include <vector>

namespace vertoko {
namespace {

struct UrlFixture : ::testing::Test {
    UrlFixture() {
        TURLLabel::SetOpenHandler([this](const QString& target) { opened.push_back(target); });
        label.setText(QStringLiteral("https://vertoko.example.org/help"));
        label.resize(200, 20);
        label.SetFontColor(clNavy);
        label.show();
    }
    ~UrlFixture() override { TURLLabel::SetOpenHandler(nullptr); }

    void Enter() {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&label, &event);
    }
    void Leave() {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&label, &event);
    }
    TColor Shown() const { return FromQColor(label.palette().color(QPalette::WindowText)); }

    TURLLabel label;
    std::vector<QString> opened;
};

TEST_F(UrlFixture, HandCursorAndDefaultColours) {
    TURLLabel fresh;
    EXPECT_EQ(fresh.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(fresh.HotColor(), clAqua);
    EXPECT_EQ(fresh.PushedColor(), clRed);
    EXPECT_TRUE(fresh.HotTrack());
    EXPECT_FALSE(fresh.Executable());
    EXPECT_EQ(fresh.SavedColor(), clBlack);
}

TEST_F(UrlFixture, HotWhileInsidePushedWhileHeldAndBackOnLeaving) {
    Enter();
    EXPECT_EQ(Shown(), clAqua);
    EXPECT_EQ(label.SavedColor(), clNavy);
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(Shown(), clRed);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(Shown(), clAqua);
    Leave();
    EXPECT_EQ(Shown(), clNavy);
    EXPECT_TRUE(opened.empty());  // not Executable
}

TEST_F(UrlFixture, ReleasingOutsideGivesTheSavedColour) {
    Enter();
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(10, 300));
    EXPECT_EQ(Shown(), clNavy);
}

TEST_F(UrlFixture, AColourChangedWhileHotIsUndoneOnLeaving) {
    Enter();
    label.SetFontColor(clMaroon);
    Leave();
    EXPECT_EQ(Shown(), clNavy);
}

TEST_F(UrlFixture, ExecutableOpensTheCaptionOnThePressOfAnyButton) {
    label.SetExecutable(true);
    QTest::mousePress(&label, Qt::RightButton, {}, QPoint(10, 10));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], label.text());
    QTest::mouseRelease(&label, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(opened.size(), 1u);  // not again on release
    QTest::mousePress(&label, Qt::MiddleButton, {}, QPoint(10, 10));
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(UrlFixture, WithoutHotTrackTheColourStaysButTheCaptionStillOpens) {
    label.SetHotTrack(false);
    label.SetExecutable(true);
    Enter();
    EXPECT_EQ(Shown(), clNavy);
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(Shown(), clNavy);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(10, 10));
    Leave();
    EXPECT_EQ(Shown(), clNavy);
    EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
}  // namespace vertoko
