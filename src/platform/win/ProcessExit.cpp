#include "platform/ProcessExit.h"

#include <cstdio>
#include <windows.h>

namespace qm::platform {

int FinishProcess(int exitCode) {
#if defined(__MINGW32__)
    std::fflush(nullptr); // the C streams are all this skips that anyone could see
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
#endif
    return exitCode;
}

} // namespace qm::platform
