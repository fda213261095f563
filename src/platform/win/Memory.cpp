#include "platform/Memory.h"

#include <new>
#include <windows.h>

namespace qm::platform {

// The Windows heap keeps freed blocks for reuse by itself.
void KeepFreedMemoryForReuse() {}

// Large pages need a privilege users do not hold: whole pages, committed at once.
void* AllocateLargeBlock(std::size_t bytes) {
    void* block = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void FreeLargeBlock(void* block, std::size_t /*bytes*/) {
    VirtualFree(block, 0, MEM_RELEASE);
}

} // namespace qm::platform
