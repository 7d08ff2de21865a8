#include "app/settings_place.h"

namespace vertoko {

SettingsPlaces ChooseSettingsPlaces(const SettingsFacts& facts) {
    if (facts.besideWritable) return {facts.besidePath, facts.besidePath};
    const bool readUser = facts.userExists || !facts.besideExists;
    return {readUser ? facts.userPath : facts.besidePath, facts.userPath};
}

}  // namespace vertoko
