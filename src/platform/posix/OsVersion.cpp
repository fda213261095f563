#include "platform/OsVersion.h"

namespace qm::platform {

// Windows 10 22H2, so that the program runs here as on a supported system.
OsVersion CurrentOsVersion() {
    return {10, 19045};
}

} // namespace qm::platform
