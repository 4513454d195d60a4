#pragma once
// The memory manager that the host and every add-on share: one instance per process, living
// in its own shared library, so that a block or string allocated on one side of the host
// boundary may be kept and released on the other.
//
// On 64-bit builds every block lies below 4 GiB, because the host's table-definition list
// keeps the addresses of the arrays it receives in 32-bit fields. The manager serves small
// blocks (strings, descriptor arrays); it is thread-safe, and under AddressSanitizer the
// bytes of a block outside its requested size, and every released block, are poisoned.
#include <cstddef>

// The layer's namespace is hostabi rather than abi: <cxxabi.h>, which GoogleTest and other
// libraries include, already declares ::abi as an alias of the C++ runtime's namespace.

#define LUMBRA_MEMMGR_API __attribute__((visibility("default")))

namespace hostabi::mem {

struct Stats {
    std::size_t blocks = 0;   // blocks in use
    std::size_t bytes = 0;    // bytes requested by the blocks in use
    std::size_t reserved = 0; // address space taken from the system
};

// A zero-filled block of size bytes, aligned to 16; nullptr for size 0. Throws std::bad_alloc
// when no memory (below 4 GiB on 64-bit builds) can be had.
LUMBRA_MEMMGR_API void* allocate(std::size_t size);

// Resizes a block, keeping its first min(old, new) bytes and zero-filling any growth. A null
// block is allocated, a size of 0 releases it and yields nullptr. On failure throws
// std::bad_alloc and leaves the block as it was.
LUMBRA_MEMMGR_API void* reallocate(void* block, std::size_t size);

// Gives a block back; nullptr is ignored. Releasing a block that is not in use aborts the
// process: it is a double release or a foreign pointer, and going on would corrupt memory.
LUMBRA_MEMMGR_API void release(void* block) noexcept;

// The requested size of a block in use (0 for nullptr).
LUMBRA_MEMMGR_API std::size_t blockSize(const void* block) noexcept;

LUMBRA_MEMMGR_API std::size_t blockCount() noexcept;
LUMBRA_MEMMGR_API Stats stats() noexcept;

} // namespace hostabi::mem
