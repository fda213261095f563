#pragma once

#include <string_view>

namespace qm::platform {

// True when the existing file can be opened for writing with no sharing allowed (the handle is
// closed again at once). False when it does not exist, is read-only (no write permission bit
// at all, even for an administrator), is denied, or is open elsewhere (on POSIX systems: held
// under an exclusive advisory lock).
bool IsFileWritable(std::u16string_view path);

} // namespace qm::platform
