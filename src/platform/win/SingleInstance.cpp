#include "platform/SingleInstance.h"

#include <string>
#include <windows.h>

namespace qm::platform {

bool InstanceAlreadyRunning(std::u16string_view name) {
    const std::u16string n(name);
    const auto* wide = reinterpret_cast<const wchar_t*>(n.c_str());
    if (HANDLE other = OpenMutexW(0x1F0001, FALSE, wide)) {
        CloseHandle(other);
        return true;
    }
    // Held, never closed: the system releases the mutex when the process ends.
    CreateMutexW(nullptr, FALSE, wide);
    return false;
}

} // namespace qm::platform
