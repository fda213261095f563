#include "platform/KnownFolders.h"

#include <shlobj.h>
#include <windows.h>

namespace qm::platform {

std::u16string RoamingAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(path));
}

std::u16string TemporaryFolder() {
    // GetTempPathW's result always ends in a backslash.
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH)
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(path), length);
}

std::u16string PrivateWorkFolder() {
    return TemporaryFolder();
}

} // namespace qm::platform
