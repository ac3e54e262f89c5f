// How the process's allocator hands freed memory back to the kernel.
#pragma once

#include <cstddef>

namespace platform {

// Freed memory at the top of the heap is kept up to this much before it goes back to the kernel.
inline constexpr std::size_t kHeapKeptBytes = std::size_t{64} << 20;
// Blocks of this size and more are mapped apart from the heap.
inline constexpr std::size_t kHeapMappedFromBytes = std::size_t{4} << 20;

// Makes the allocator keep freed memory for reuse instead of returning it at once. A GL driver
// that draws on the CPU allocates its command and vertex buffers afresh for every draw and every
// frame; with the allocator's default the heap shrinks after each release and grows back on the
// next request, and every page of it is faulted in and zeroed again (over half of a busy frame's
// CPU time was spent so). Called once at start-up, before the GL context exists.
void KeepFreedHeapForReuse();

}  // namespace platform
