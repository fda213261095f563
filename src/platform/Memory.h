#pragma once

namespace qm::platform {

// Asks the C library to keep freed memory, large blocks included, for the process's later
// allocations instead of returning it to the system at once. A large conversion frees its
// input text and then allocates as much for its output: reusing those pages saves a quarter of
// the page faults.
void KeepFreedMemoryForReuse();

} // namespace qm::platform
