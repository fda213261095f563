#include "platform/VersionInfo.h"

#include <string>
#include <windows.h>

namespace qm::platform {

std::vector<std::uint8_t> LoadFileVersionInfo(std::u16string_view fileName) {
    const std::u16string name(fileName);
    const auto* wide = reinterpret_cast<const wchar_t*>(name.c_str());
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide, &handle);
    if (size == 0)
        return {};
    std::vector<std::uint8_t> info(size, 0);
    if (!GetFileVersionInfoW(wide, 0, size, info.data()))
        return {};
    return info;
}

bool QueryFileVersionInfo(const std::vector<std::uint8_t>& info, std::u16string_view subBlock,
                          const std::uint8_t*& value, std::uint32_t& length) {
    if (info.empty())
        return false;
    const std::u16string path(subBlock);
    void* pointer = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(info.data(), reinterpret_cast<const wchar_t*>(path.c_str()), &pointer,
                        &size))
        return false;
    value = static_cast<const std::uint8_t*>(pointer);
    length = size;
    return true;
}

std::u16string OwnExecutablePath() {
    std::u16string path(32768, u'\0');
    const DWORD length = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()),
                                            static_cast<DWORD>(path.size()));
    path.resize(length);
    return path;
}

} // namespace qm::platform
