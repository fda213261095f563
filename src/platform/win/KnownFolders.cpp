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

} // namespace qm::platform
