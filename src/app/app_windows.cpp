#include "app/app_windows.h"

#include <QAction>

#include "app/error_box.h"
#include "app/main_form.h"
#include "app/window_placement.h"
#include "controls/about_box.h"
#include "controls/numedit.h"
#include "dialogs/opt_dlg.h"
#include "dialogs/opt_dlg2.h"
#include "preview/pview.h"

namespace vertoko {

TMainForm* MainForm = nullptr;
TOptDlg* OptDlg = nullptr;
TPView* PView = nullptr;
TOptDlg2* OptDlg2 = nullptr;
TAboutBox* AboutBox = nullptr;

void CreateAppWindows(const SettingsPlaces& settings, const QStringList& arguments) {
    MainForm = new TMainForm(settings.readPath, arguments);
    MainForm->SetSettingsWritePath(settings.writePath);
    // A number the numeric edit cannot take is reported in the error box
    // of the application, like any other error that escapes a handler.
    TNumEdit::SetErrorHandler([](QWidget*, const std::string& message) {
        ShowErrorBox(QString::fromStdString(message));
    });
    OptDlg = new TOptDlg(MainForm);
    PView = new TPView();
    // The colour dialog tells the preview its colours from its creation on.
    OptDlg2 = new TOptDlg2(
        [](std::uint32_t back, std::uint32_t obj) {
            if (PView != nullptr) PView->SetColors(back, obj);
        },
        MainForm);
    AboutBox = new TAboutBox(MainForm);
    // The fixed positions of the layout may lie off a scaled or small
    // screen; each window is brought onto the main window's screen then.
    const QList<QWidget*> windows = {MainForm, OptDlg, PView, OptDlg2, AboutBox};
    for (QWidget* window : windows) KeepOnScreen(window, MainForm);
    // The preview first opens beside the log rather than over it.
    OpenBesideAtFirst(PView, MainForm);
    // Ctrl+Q and F1 do in the preview what they do in the main window.
    PView->addAction(MainForm->FileExitItem);
    PView->addAction(MainForm->mAbout);
}

void DestroyAppWindows() {
    delete AboutBox;
    AboutBox = nullptr;
    delete OptDlg2;
    OptDlg2 = nullptr;
    delete PView;
    PView = nullptr;
    delete OptDlg;
    OptDlg = nullptr;
    delete MainForm;
    MainForm = nullptr;
}

}  // namespace vertoko
