#include "app/settings_location.h"

#include <QCoreApplication>
#include <QFile>

#include "app/settings.h"

namespace vertoko {

std::string SettingsPath() {
    return SettingsPathFor(
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
}

}  // namespace vertoko
