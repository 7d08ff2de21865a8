// Where the running executable keeps its settings file.
#pragma once

#include <string>

namespace vertoko {

// SettingsPathFor applied to the running executable's path; needs the
// application object.
std::string SettingsPath();

}  // namespace vertoko
