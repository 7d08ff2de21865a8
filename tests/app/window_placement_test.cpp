// Where a window goes when its given position lies off the screens, as plain
// rectangles: single and side-by-side screens, a scaled-down screen, and a
// main window on the second screen.
#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace vertoko {
namespace {

const QRect kLeft(0, 0, 1280, 1024);
const QRect kRight(1280, 0, 1920, 1080);

TEST(WindowPlacementTest, WindowWhollyOnTheScreensKeepsItsPlace) {
    const QRect frame(634, 104, 403, 347);
    EXPECT_EQ(PlacedFramePosition(frame, {kLeft}, kLeft), frame.topLeft());
    // Across the seam of two screens it is still wholly visible.
    const QRect across(1100, 200, 400, 300);
    EXPECT_EQ(PlacedFramePosition(across, {kLeft, kRight}, kLeft), across.topLeft());
    // Touching the far edges exactly still fits.
    const QRect corner(1280 - 403, 1024 - 347, 403, 347);
    EXPECT_EQ(PlacedFramePosition(corner, {kLeft}, kLeft), corner.topLeft());
}

TEST(WindowPlacementTest, WindowPartlyOffIsShiftedOntoTheHomeScreen) {
    // A 1280 x 1024 screen at scale 2 offers 640 x 512: the preview at x 634
    // would show 6 of its 403 pixels. It moves left to 640 - 403 = 237 and
    // keeps its y, which fits (104 + 347 = 451).
    const QRect scaled(0, 0, 640, 512);
    EXPECT_EQ(PlacedFramePosition(QRect(634, 104, 403, 347), {scaled}, scaled), QPoint(237, 104));
    // Off the top left: pulled to the corner.
    EXPECT_EQ(PlacedFramePosition(QRect(-50, -20, 100, 100), {scaled}, scaled), QPoint(0, 0));
    // One pixel over the bottom edge.
    EXPECT_EQ(PlacedFramePosition(QRect(10, 413, 100, 100), {scaled}, scaled), QPoint(10, 412));
}

TEST(WindowPlacementTest, HomeIsTheMainWindowsScreenNotTheNearestOne) {
    // Left of both screens while the main window is on the right one: it
    // lands on the right screen's left edge, not on the left screen.
    EXPECT_EQ(PlacedFramePosition(QRect(-500, 100, 400, 300), {kLeft, kRight}, kRight),
              QPoint(1280, 100));
    // Below the shorter left screen (1024 high) but inside the right
    // screen's height: the part under the left screen shows nowhere.
    EXPECT_EQ(PlacedFramePosition(QRect(1200, 900, 300, 150), {kLeft, kRight}, kRight),
              QPoint(1280, 900));
}

TEST(WindowPlacementTest, WindowLargerThanTheScreenShowsItsTopLeftCorner) {
    const QRect small(0, 0, 320, 240);
    EXPECT_EQ(PlacedFramePosition(QRect(100, 50, 397, 326), {small}, small), QPoint(0, 0));
    // Wider only: x to the edge, y shifted as usual.
    EXPECT_EQ(PlacedFramePosition(QRect(100, 200, 400, 100), {small}, small), QPoint(0, 140));
    // A screen whose usable area starts below a panel.
    const QRect underPanel(0, 30, 320, 210);
    EXPECT_EQ(PlacedFramePosition(QRect(5, 0, 100, 300), {underPanel}, underPanel), QPoint(5, 30));
}

TEST(BesidePlacementTest, RightWhereThereIsRoomElseLeftElseNone) {
    const QRect screen(0, 0, 1280, 1024);
    const QSize preview(403, 347);
    // The layout's main window leaves room on the right: aligned with its top.
    EXPECT_EQ(BesideFramePosition(QRect(237, 105, 397, 326), preview, screen), QPoint(634, 105));
    // Near the right edge: on the left, the frames just touching.
    EXPECT_EQ(BesideFramePosition(QRect(800, 105, 397, 326), preview, screen), QPoint(397, 105));
    // A scale of 2 leaves 640 x 512: no room on either side.
    const QRect scaled(0, 0, 640, 512);
    EXPECT_EQ(BesideFramePosition(QRect(237, 105, 397, 326), preview, scaled), std::nullopt);
    // A main window low on the screen: the preview moves up to fit.
    EXPECT_EQ(BesideFramePosition(QRect(100, 900, 397, 326), preview, screen), QPoint(497, 677));
    // Taller than the screen: never beside.
    EXPECT_EQ(BesideFramePosition(QRect(0, 0, 300, 200), QSize(300, 1100), screen), std::nullopt);
    // A second screen to the right: home is that one, its own edges count.
    const QRect second(1280, 0, 1920, 1080);
    EXPECT_EQ(BesideFramePosition(QRect(1300, 50, 397, 326), preview, second), QPoint(1697, 50));
    EXPECT_EQ(BesideFramePosition(QRect(2800, 50, 397, 326), preview, second), QPoint(2397, 50));
}

}  // namespace
}  // namespace vertoko
