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

bool StdoutIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

bool StderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace qm::platform
