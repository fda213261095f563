#pragma once

#include <cstddef>

namespace qm::platform {

// Asks the C library to keep freed memory, large blocks included, for the process's later
// allocations instead of returning it to the system at once. A large conversion frees its
// input text and then allocates as much for its output: reusing those pages saves a quarter of
// the page faults.
void KeepFreedMemoryForReuse();

// A large block of memory that lives long (the text a section view holds), straight from the
// system and in huge pages where the system gives them, so that filling it costs a page fault
// per 2 MiB instead of per 4 KiB. Throws std::bad_alloc when there is no memory.
void* AllocateLargeBlock(std::size_t bytes);
// Frees a block of AllocateLargeBlock, given the same size.
void FreeLargeBlock(void* block, std::size_t bytes);

} // namespace qm::platform
