// Where the running executable keeps its settings file.
#pragma once

#include <string>

#include "app/settings_place.h"

namespace vertoko {

// SettingsPathFor applied to the running executable's path; needs the
// application object.
std::string SettingsPath();

// The files to read and write for an executable at executablePath, with the
// user's file at userPath; looks at the file system.
SettingsPlaces SettingsPlacesFor(const std::string& executablePath, const std::string& userPath);

// The same for the running executable, the user's file being
// vertoko/<name>.ini in the user's configuration folder (XDG_CONFIG_HOME,
// usually ~/.config). Makes that folder when the run will write there.
SettingsPlaces CurrentSettingsPlaces();

}  // namespace vertoko
