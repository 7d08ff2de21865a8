// The windows created once at start-up and kept for the whole run, in their
// creation order: the main window, then the conversion options dialog, the
// preview window, the preview colour dialog and the help dialog.
#pragma once

#include <QStringList>
#include <string>

#include "app/settings_place.h"

namespace vertoko {

class TAboutBox;
class TMainForm;
class TOptDlg;
class TOptDlg2;
class TPView;

// The process-wide references to the windows; null before CreateAppWindows
// and after DestroyAppWindows. The main window's commands test them, so a
// main window made on its own (tests) runs without its dialogs.
extern TMainForm* MainForm;
extern TOptDlg* OptDlg;
extern TPView* PView;
extern TOptDlg2* OptDlg2;
extern TAboutBox* AboutBox;

// Creates every window in order. The main window reads and writes the
// settings files of settings and opens the first of arguments when first
// shown. Throws what the main window's creation throws.
void CreateAppWindows(const SettingsPlaces& settings, const QStringList& arguments);

// Destroys the windows in the reverse order; the main window last, so that
// the preview's context is gone before the OpenGL libraries are closed.
void DestroyAppWindows();

}  // namespace vertoko
