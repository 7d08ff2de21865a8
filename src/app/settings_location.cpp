#include "app/settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "convert/settings.h"

namespace vertoko {

namespace {

std::string Encoded(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

std::string SettingsPath() {
    return SettingsPathFor(Encoded(QCoreApplication::applicationFilePath()));
}

SettingsPlaces SettingsPlacesFor(const std::string& executablePath, const std::string& userPath) {
    SettingsFacts facts;
    facts.besidePath = SettingsPathFor(executablePath);
    facts.userPath = userPath;
    const QFileInfo beside(QFile::decodeName(facts.besidePath.c_str()));
    facts.besideExists = beside.exists();
    facts.besideWritable =
        facts.besideExists ? beside.isWritable() : QFileInfo(beside.absolutePath()).isWritable();
    facts.userExists = QFileInfo::exists(QFile::decodeName(userPath.c_str()));
    return ChooseSettingsPlaces(facts);
}

SettingsPlaces CurrentSettingsPlaces() {
    const QString executable = QCoreApplication::applicationFilePath();
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/vertoko";
    const QString name = QFileInfo(QFile::decodeName(SettingsPath().c_str())).fileName();
    const std::string userPath = Encoded(folder + '/' + name);
    SettingsPlaces places = SettingsPlacesFor(Encoded(executable), userPath);
    if (places.writePath == userPath) QDir().mkpath(folder);
    return places;
}

}  // namespace vertoko
