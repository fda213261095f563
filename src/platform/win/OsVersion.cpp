#include "platform/OsVersion.h"

#include <windows.h>

namespace qm::platform {

OsVersion CurrentOsVersion() {
    // RtlGetVersion tells the truth where GetVersionEx is subject to the manifest.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        auto* proc = reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion"));
        if (proc && reinterpret_cast<RtlGetVersionFn>(proc)(&info) == 0)
            return {info.dwMajorVersion, info.dwBuildNumber};
    }
    return {};
}

} // namespace qm::platform
