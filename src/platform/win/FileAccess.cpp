#include "platform/FileAccess.h"

#include <string>
#include <windows.h>

namespace qm::platform {

bool IsFileWritable(std::u16string_view path) {
    const std::u16string p(path);
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(p.c_str()), GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

} // namespace qm::platform
