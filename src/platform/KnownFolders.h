#pragma once

#include <string>

namespace qm::platform {

// The user's roaming application-data folder (Windows: CSIDL_APPDATA; elsewhere
// $XDG_CONFIG_HOME, else ~/.config); empty when the system cannot tell it.
std::u16string RoamingAppDataFolder();

// The user's temporary folder, ending in a path separator (Windows: GetTempPathW; elsewhere
// $TMPDIR, else /tmp).
std::u16string TemporaryFolder();

} // namespace qm::platform
