#include "platform/NativeMessages.h"

namespace qm::platform {

bool IsSettingsChangeMessage(std::string_view, const void*) {
    return false;
}

} // namespace qm::platform
