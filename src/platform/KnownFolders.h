#pragma once

#include <string>

namespace qm::platform {

// The user's roaming application-data folder (Windows: CSIDL_APPDATA; elsewhere
// $XDG_CONFIG_HOME, else ~/.config); empty when the system cannot tell it.
std::u16string RoamingAppDataFolder();

// The user's temporary folder, ending in a path separator (Windows: GetTempPathW; elsewhere
// $TMPDIR, else /tmp).
std::u16string TemporaryFolder();

// A folder for files the program writes and then runs (a downloaded update, its script),
// ending in a path separator: Windows: the user's temporary folder, which is the user's own;
// elsewhere the user's private folder (mode 0700, owned by the user, no link), never the
// shared temporary folder, where another user may plant a link. Empty when there is none.
std::u16string PrivateWorkFolder();

} // namespace qm::platform
