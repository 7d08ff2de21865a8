// The windows created once at start-up and kept for the whole run, in their
// creation order: the main window, then the conversion options dialog, the
// preview window, the preview colour dialog and the help dialog.
#pragma once

#include <QStringList>
#include <string>

namespace vertoko {

class TMainForm;

// The process-wide references to the windows; null before CreateAppWindows.
extern TMainForm* MainForm;

// Creates every window in order. The main window reads settingsPath and
// opens the first of arguments when first shown. Throws what the main
// window's creation throws.
void CreateAppWindows(const std::string& settingsPath, const QStringList& arguments);

// Destroys the windows in the reverse order.
void DestroyAppWindows();

}  // namespace vertoko
