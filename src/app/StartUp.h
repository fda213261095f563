#pragma once

// The program's start: one instance, the windows in their order, the system check, the loop.
// Returns the process's exit code, which is 0 on every path. Updates are checked against
// `releaseKey` (PEM).
int RunQuillmark(int argc, char* argv[], const char* releaseKey);
