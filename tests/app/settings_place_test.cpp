// The choice of the settings files to read and write.
#include "app/settings_place.h"

#include <gtest/gtest.h>

namespace vertoko {
namespace {

SettingsFacts Facts(bool besideExists, bool besideWritable, bool userExists) {
    return {"/opt/vk/vertoko.ini", "/home/u/.config/vertoko/vertoko.ini", besideExists,
            besideWritable, userExists};
}

TEST(SettingsPlaces, WritableFolderKeepsTheFileBesideTheExecutable) {
    for (bool besideExists : {false, true}) {
        for (bool userExists : {false, true}) {
            const SettingsPlaces places = ChooseSettingsPlaces(Facts(besideExists, true, userExists));
            EXPECT_EQ(places.readPath, "/opt/vk/vertoko.ini");
            EXPECT_EQ(places.writePath, "/opt/vk/vertoko.ini");
        }
    }
}

TEST(SettingsPlaces, ReadOnlyFolderWritesToTheUsersFile) {
    // Nothing yet: defaults, written to the user's folder at the close.
    SettingsPlaces places = ChooseSettingsPlaces(Facts(false, false, false));
    EXPECT_EQ(places.writePath, "/home/u/.config/vertoko/vertoko.ini");
    EXPECT_EQ(places.readPath, "/home/u/.config/vertoko/vertoko.ini");

    // A file shipped beside the executable gives the first run its values.
    places = ChooseSettingsPlaces(Facts(true, false, false));
    EXPECT_EQ(places.readPath, "/opt/vk/vertoko.ini");
    EXPECT_EQ(places.writePath, "/home/u/.config/vertoko/vertoko.ini");

    // Once the user's file exists it holds the latest values: read it.
    places = ChooseSettingsPlaces(Facts(true, false, true));
    EXPECT_EQ(places.readPath, "/home/u/.config/vertoko/vertoko.ini");
    EXPECT_EQ(places.writePath, "/home/u/.config/vertoko/vertoko.ini");
}

}  // namespace
}  // namespace vertoko
