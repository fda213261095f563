#include "platform/Memory.h"

namespace qm::platform {

// The Windows heap keeps freed blocks for reuse by itself.
void KeepFreedMemoryForReuse() {}

} // namespace qm::platform
