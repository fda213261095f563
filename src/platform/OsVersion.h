#pragma once

namespace qm::platform {

struct OsVersion {
    unsigned Major = 0;
    unsigned Build = 0;
};

// The running system's version (RtlGetVersion on Windows). Other systems, where the program is
// developed and tested, report a supported Windows version.
OsVersion CurrentOsVersion();

// Windows 10 and 11 report major version 10; their first build is 10240.
constexpr bool IsSupportedWindowsVersion(OsVersion v) {
    return v.Major == 10 && v.Build >= 10240;
}

} // namespace qm::platform
