#include "platform/Console.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

namespace qm::platform {

void SetStdoutBinary() {
    _setmode(_fileno(stdout), _O_BINARY);
}

void SetStdinBinary() {
    _setmode(_fileno(stdin), _O_BINARY);
}

} // namespace qm::platform
