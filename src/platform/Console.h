#pragma once

namespace qm::platform {

// Makes standard output a byte stream, so CR LF written by the program reaches a file unchanged
// (the Windows C runtime would otherwise turn LF into CR LF a second time).
void SetStdoutBinary();
// Makes standard input a byte stream, so a UTF-16 export piped in arrives unchanged.
void SetStdinBinary();

// Whether standard output / standard error is a terminal (not a file or a pipe).
bool StdoutIsTerminal();
bool StderrIsTerminal();

} // namespace qm::platform
