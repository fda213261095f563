#include "platform/FileAccess.h"

#include <string>
#include <windows.h>

namespace qm::platform {

bool IsFileWritable(std::u16string_view path) {
    const std::u16string p(path);
    // The read-only attribute refuses writing even where the account could pass over it (an
    // administrator; under wine, root).
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(p.c_str()));
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(p.c_str()), GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

} // namespace qm::platform
