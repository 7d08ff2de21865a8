// vertoko: the desktop converter. One instance per user; the windows live
// for the whole run; an error that escapes start-up or a command is shown in
// the error box.
#include <QString>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/app_windows.h"
#include "app/application.h"
#include "app/error_box.h"
#include "app/instance_server.h"
#include "app/main_form.h"
#include "app/qt_translation.h"
#include "app/settings_location.h"
#include "app/ui_font.h"
#include "platform/single_instance.h"

namespace {

// The file a second start hands on, absolute: the running instance works
// in another folder. Empty without one, which only brings it to the front.
std::string FileForRunningInstance(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '\0') return {};
    std::error_code error;
    const std::filesystem::path file = std::filesystem::absolute(argv[1], error);
    return error ? std::string(argv[1]) : file.string();
}

}  // namespace

int main(int argc, char** argv) {
    vertoko::SingleInstanceLock lock(vertoko::SingleInstanceLockPath("UniqueName"));
    const std::string socketPath = vertoko::InstanceSocketPath(lock.Path());
    // Another instance runs, or the lock cannot be taken: hand the file to
    // the running instance and end, showing nothing.
    if (!lock.Acquire()) {
        vertoko::SendToRunningInstance(socketPath, FileForRunningInstance(argc, argv), 3000);
        return 1;
    }

    vertoko::TApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vertoko for Windows"));
    QApplication::setFont(vertoko::UiFont());
    // The standard dialogs speak Japanese like the rest of the program;
    // without Qt's translation they stay English.
    vertoko::InstallQtTranslation();
    try {
        vertoko::CreateAppWindows(vertoko::CurrentSettingsPlaces(),
                                  QCoreApplication::arguments().mid(1));
        // Without the socket a second start still ends; it only cannot
        // hand its file over.
        vertoko::InstanceServer server([](const QString& file) {
            if (vertoko::MainForm != nullptr) vertoko::MainForm->OpenFromSecondStart(file);
        });
        server.Listen(QString::fromStdString(socketPath));
        vertoko::MainForm->show();
        QApplication::exec();
    } catch (const std::exception& error) {
        vertoko::ShowErrorBox(QString::fromUtf8(error.what()));
    }
    vertoko::DestroyAppWindows();
    lock.Release();
    return 0;
}
