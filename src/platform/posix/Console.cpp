#include "platform/Console.h"

#include <unistd.h>

namespace qm::platform {

// POSIX streams never translate line ends.
void SetStdoutBinary() {}
void SetStdinBinary() {}

bool StdoutIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

} // namespace qm::platform
