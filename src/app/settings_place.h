// Which settings file a run reads and which it writes. The file beside the
// executable is the home of the settings; a folder the user cannot write
// (an installed copy in /usr/bin) sends them to the user's own folder
// instead, so that they are not lost at every close.
#pragma once

#include <string>

namespace vertoko {

struct SettingsPlaces {
    std::string readPath;
    std::string writePath;
};

// What is known of the two candidate files.
struct SettingsFacts {
    std::string besidePath;  // the executable's path with "ini" for its extension
    std::string userPath;    // the file in the user's configuration folder
    bool besideExists = false;
    bool besideWritable = false;  // the file (or, when absent, its folder) can be written
    bool userExists = false;
};

// Writes beside the executable when that is possible, else to the user's
// file. Reads the file beside the executable when it is there, unless the
// run writes elsewhere and the user's file already holds what earlier runs
// wrote; then that one.
SettingsPlaces ChooseSettingsPlaces(const SettingsFacts& facts);

}  // namespace vertoko
