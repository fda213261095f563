#include "platform/Memory.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace qm::platform {

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    // Blocks up to 1 GiB come from the heap (not from mmap, which unmaps them on free), and
    // the heap is not trimmed until that much is free.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}

} // namespace qm::platform
