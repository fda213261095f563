#pragma once

// Folders of the freedesktop base-directory rules, for the POSIX backends.

#include <cstdlib>
#include <string>

namespace qm::platform::posix {

// $XDG_DATA_HOME, else ~/.local/share; empty when neither can be told.
inline std::string XdgDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share";
    return {};
}

} // namespace qm::platform::posix
