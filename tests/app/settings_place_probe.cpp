// Prints the settings files an executable at this place would read and
// write, and with --save writes the default settings there, as the close
// does. Run by settings_fallback_test.sh from folders of different owners.
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "convert/ini_file.h"
#include "convert/settings.h"
#include "app/settings_location.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const vertoko::SettingsPlaces places = vertoko::CurrentSettingsPlaces();
    std::printf("read=%s\nwrite=%s\n", places.readPath.c_str(), places.writePath.c_str());
    if (argc > 1 && std::strcmp(argv[1], "--save") == 0) {
        vertoko::IniFile ini;
        vertoko::IniFile::Load(places.readPath, ini);
        vertoko::WriteSettings(vertoko::ReadSettings(ini), ini);
        if (!ini.Save(places.writePath)) return 1;
    }
    return 0;
}
