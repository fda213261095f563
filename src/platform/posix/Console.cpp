#include "platform/Console.h"

namespace qm::platform {

// POSIX streams never translate line ends.
void SetStdoutBinary() {}
void SetStdinBinary() {}

} // namespace qm::platform
