#pragma once

#include <string_view>

namespace qm::platform {

// Whether a native window message (as a window's nativeEvent receives it) is the system's
// settings-change broadcast (WM_SETTINGCHANGE, 0x001A). Never true where there is no such
// message.
bool IsSettingsChangeMessage(std::string_view eventType, const void* message);

} // namespace qm::platform
