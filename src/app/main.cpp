// vertoko: the desktop converter. One instance per user; the windows live
// for the whole run; an error that escapes start-up or a command is shown in
// the error box.
#include <QString>
#include <exception>

#include "app/app_windows.h"
#include "app/application.h"
#include "app/error_box.h"
#include "app/main_form.h"
#include "app/qt_translation.h"
#include "app/settings_location.h"
#include "app/ui_font.h"
#include "platform/single_instance.h"

int main(int argc, char** argv) {
    vertoko::SingleInstanceLock lock(vertoko::SingleInstanceLockPath("UniqueName"));
    // Another instance runs, or the lock cannot be taken: end at once,
    // showing nothing.
    if (!lock.Acquire()) return 1;

    vertoko::TApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vertoko for Windows"));
    QApplication::setFont(vertoko::UiFont());
    // The standard dialogs speak Japanese like the rest of the program;
    // without Qt's translation they stay English.
    vertoko::InstallQtTranslation();
    try {
        vertoko::CreateAppWindows(vertoko::CurrentSettingsPlaces(),
                                  QCoreApplication::arguments().mid(1));
        vertoko::MainForm->show();
        QApplication::exec();
    } catch (const std::exception& error) {
        vertoko::ShowErrorBox(QString::fromUtf8(error.what()));
    }
    vertoko::DestroyAppWindows();
    lock.Release();
    return 0;
}
