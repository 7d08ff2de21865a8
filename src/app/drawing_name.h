// What the main window derives from the name of the loaded drawing: its
// caption and the name its save dialog suggests.
#pragma once

#include <QString>

namespace vertoko {

// "Vertoko - house.dxf" for a drawing, "Vertoko" for none (an empty path).
QString MainWindowTitle(const QString& drawing);

// The absolute path of the drawing's folder and its name with suffix for
// its extension ("/work/examples/house.dxf", "obj" give
// "/work/examples/house.obj"). The name is cut at its last dot; a name
// without one gets the suffix appended.
QString SuggestedSaveName(const QString& drawing, const QString& suffix);

}  // namespace vertoko
