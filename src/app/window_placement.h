// Keeps the windows of a run on the screen. A window stays at the position
// it was given wherever that lies wholly on the screens; where it does not
// (a scaled or smaller screen than the layout assumed), it is moved onto
// the screen that holds the main window, as little as it takes.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

namespace vertoko {

// The top-left corner for a window frame: frame's own where the frame lies
// wholly within the union of screens (the usable areas of all screens);
// else shifted into home (the usable area of the main window's screen) by
// the least distance. A frame larger than home keeps its top-left corner
// on home's top-left edge.
QPoint PlacedFramePosition(const QRect& frame, const QList<QRect>& screens, const QRect& home);

// Places window by PlacedFramePosition each time it is shown, before it
// appears. mainWindow's screen is home; the window itself may be the main
// window. The placement lives as long as window; mainWindow may go first.
void KeepOnScreen(QWidget* window, QWidget* mainWindow);

}  // namespace vertoko
