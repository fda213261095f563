#pragma once

namespace qm::platform {

// Makes standard output a byte stream, so CR LF written by the program reaches a file unchanged
// (the Windows C runtime would otherwise turn LF into CR LF a second time).
void SetStdoutBinary();

} // namespace qm::platform
