#include "app/app_windows.h"

#include "app/main_form.h"

namespace vertoko {

TMainForm* MainForm = nullptr;

void CreateAppWindows(const std::string& settingsPath, const QStringList& arguments) {
    MainForm = new TMainForm(settingsPath, arguments);
    // TOptDlg, TPView, TOptDlg2 and TAboutBox are created here, in this
    // order, once their windows exist.
}

void DestroyAppWindows() {
    delete MainForm;
    MainForm = nullptr;
}

}  // namespace vertoko
