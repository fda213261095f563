#include "platform/ProcessExit.h"

namespace qm::platform {

int FinishProcess(int exitCode) {
    return exitCode;
}

} // namespace qm::platform
