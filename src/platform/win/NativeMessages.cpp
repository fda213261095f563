#include "platform/NativeMessages.h"

#include <windows.h>

namespace qm::platform {

bool IsSettingsChangeMessage(std::string_view eventType, const void* message) {
    return eventType == "windows_generic_MSG" && message &&
           static_cast<const MSG*>(message)->message == WM_SETTINGCHANGE;
}

} // namespace qm::platform
