// Keeps the windows of a run on the screen. A window stays at the position
// it was given wherever that lies wholly on the screens; where it does not
// (a scaled or smaller screen than the layout assumed), it is moved onto
// the screen that holds the main window, as little as it takes.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QWidget;

namespace vertoko {

// The top-left corner for a window frame: frame's own where the frame lies
// wholly within the union of screens (the usable areas of all screens);
// else shifted into home (the usable area of the main window's screen) by
// the least distance. A frame larger than home keeps its top-left corner
// on home's top-left edge.
QPoint PlacedFramePosition(const QRect& frame, const QList<QRect>& screens, const QRect& home);

// Where a window frame of size goes beside the main window's frame so that
// it lies wholly within home: right of it, else left of it, each aligned
// with its top (moved down or up only as far as home asks). None when
// neither side has room.
std::optional<QPoint> BesideFramePosition(const QRect& mainFrame, const QSize& size,
                                          const QRect& home);

// At the window's first showing only, moves it beside mainWindow by
// BesideFramePosition where the screen has room; elsewhere it stays where it
// was laid out (and KeepOnScreen brings it on). Later showings keep where
// the user left it. Install after KeepOnScreen, so that this comes first.
void OpenBesideAtFirst(QWidget* window, QWidget* mainWindow);

// Places window by PlacedFramePosition each time it is shown, before it
// appears. mainWindow's screen is home; the window itself may be the main
// window. The placement lives as long as window; mainWindow may go first.
void KeepOnScreen(QWidget* window, QWidget* mainWindow);

}  // namespace vertoko
