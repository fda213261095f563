#pragma once

namespace qm::platform {

// main's last step once the program has shut down (its windows closed, its files saved):
// returns `exitCode` for main to return. Builds for Windows with the MinGW runtime end the
// process here instead: there the main thread's thread_local objects inside Qt Core (its
// animation timers) are destroyed when libstdc++ is unloaded, after Qt Core's own statics
// are gone, and that destruction waits forever. Nothing of ours is left to clean up by then.
int FinishProcess(int exitCode);

} // namespace qm::platform
