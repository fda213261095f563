#include "platform/Memory.h"

#include <cstdint>
#include <cstdlib> // defines __GLIBC__ on the GNU C library
#include <new>
#include <sys/mman.h>

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

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t WholeHugePages(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

} // namespace

void* AllocateLargeBlock(std::size_t bytes) {
    // A huge page starts on a 2 MiB boundary: a page more is mapped, and what lies before the
    // boundary and after the block is given back.
    const std::size_t size = WholeHugePages(bytes);
    void* raw =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const auto address = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t start = (address + kHugePage - 1) & ~(kHugePage - 1);
    const std::size_t head = start - address;
    if (head > 0)
        munmap(raw, head);
    if (kHugePage - head > 0)
        munmap(reinterpret_cast<void*>(start + size), kHugePage - head);
    void* block = reinterpret_cast<void*>(start);
#if defined(MADV_HUGEPAGE)
    madvise(block, size, MADV_HUGEPAGE); // advice: a system without huge pages ignores it
#endif
    return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) {
    munmap(block, WholeHugePages(bytes));
}

} // namespace qm::platform
