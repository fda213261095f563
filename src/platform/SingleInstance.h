#pragma once

#include <string_view>

namespace qm::platform {

// True when another process holds the lock named `name`. Otherwise this process takes the
// lock and holds it until it ends (the system releases it then, also after a crash).
// Windows: the named mutex. Elsewhere: an advisory lock on a file named after `name` in a
// folder private to the user ($XDG_RUNTIME_DIR, else one of the user's own in the temporary
// folder).
bool InstanceAlreadyRunning(std::u16string_view name);

} // namespace qm::platform
