#include "platform/abi/memory_manager.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define LUMBRA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMBRA_ASAN 1
#endif
#endif
#ifdef LUMBRA_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace hostabi::mem {
namespace {

// Small blocks come in power-of-two sizes from 32 bytes to 64 KiB (header included), carved
// from arenas and recycled through one free list per size; larger blocks get a mapping of
// their own, returned to the system on release. Arenas are never returned: the blocks are
// small and the host lives as long as the process.
constexpr unsigned kMinShift = 5;
constexpr unsigned kMaxShift = 16;
constexpr unsigned kClassCount = kMaxShift - kMinShift + 1;
constexpr std::uint16_t kLargeClass = 0xFFFF;
constexpr std::size_t kArenaSize = std::size_t(64) << 20;
constexpr std::size_t kMaxRequest = 0xFFFF0000u; // sizes are kept in 32 bits

enum : std::uint16_t { kInUse = 0xB10C, kFree = 0xF4EE };

struct alignas(16) Header {
    Header* next;       // free-list link while free
    std::uint32_t size; // requested size while in use
    std::uint16_t sizeClass;
    std::uint16_t state;
};
constexpr std::size_t kHeaderSize = sizeof(Header);
static_assert(kHeaderSize == 16, "the payload must stay 16-byte aligned");

struct State {
    std::mutex lock;
    Header* freeLists[kClassCount] = {};
    char* arenaNext = nullptr;
    char* arenaEnd = nullptr;
    Stats stats;
};
constinit State g_state;

void poison([[maybe_unused]] const void* p, [[maybe_unused]] std::size_t n) {
#ifdef LUMBRA_ASAN
    ASAN_POISON_MEMORY_REGION(p, n);
#endif
}

void unpoison([[maybe_unused]] const void* p, [[maybe_unused]] std::size_t n) {
#ifdef LUMBRA_ASAN
    ASAN_UNPOISON_MEMORY_REGION(p, n);
#endif
}

[[noreturn]] void fatal(const char* what) {
    std::fprintf(stderr, "lumbra memory manager: %s\n", what);
    std::abort();
}

std::size_t pageRound(std::size_t n) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (n + page - 1) / page * page;
}

// Anonymous read-write memory of size bytes; on 64-bit builds only below 4 GiB, so that its
// addresses fit the host's 32-bit fields. nullptr when none can be had.
void* mapLow(std::size_t size) {
    constexpr int prot = PROT_READ | PROT_WRITE;
    constexpr int flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;
#if UINTPTR_MAX > 0xFFFFFFFFu
    constexpr std::uintptr_t kLimit = std::uintptr_t(1) << 32;
    auto tryMap = [&](std::uintptr_t hint, int extraFlags) -> void* {
        void* p = mmap(reinterpret_cast<void*>(hint), size, prot, flags | extraFlags, -1, 0);
        if (p == MAP_FAILED)
            return nullptr;
        if (reinterpret_cast<std::uintptr_t>(p) + size <= kLimit)
            return p;
        munmap(p, size); // the kernel ignored the hint
        return nullptr;
    };
#ifdef MAP_32BIT
    if (void* p = tryMap(0, MAP_32BIT))
        return p;
#endif
    // MAP_32BIT covers only one GiB where it exists at all; walk the rest with hints.
    constexpr std::uintptr_t kStep = std::uintptr_t(256) << 20;
    for (std::uintptr_t hint = kStep; hint + size <= kLimit; hint += kStep)
        if (void* p = tryMap(hint, 0))
            return p;
    return nullptr;
#else
    void* p = mmap(nullptr, size, prot, flags, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
#endif
}

std::size_t capacity(const Header* h) {
    if (h->sizeClass == kLargeClass)
        return pageRound(kHeaderSize + h->size) - kHeaderSize;
    return (std::size_t(1) << (h->sizeClass + kMinShift)) - kHeaderSize;
}

char* payloadOf(Header* h) {
    return reinterpret_cast<char*>(h) + kHeaderSize;
}

Header* headerOf(const void* block) {
    return reinterpret_cast<Header*>(static_cast<char*>(const_cast<void*>(block)) - kHeaderSize);
}

Header* checkedHeader(const void* block) {
    Header* h = headerOf(block);
    if (h->state != kInUse)
        fatal("a block that is not in use was passed back (double release or foreign pointer)");
    return h;
}

// A block that holds size bytes, taken under the lock; nullptr when memory is exhausted.
Header* takeBlock(std::size_t size) {
    const std::size_t total = kHeaderSize + size;
    const unsigned shift = std::max<unsigned>(kMinShift, std::bit_width(total - 1));
    if (shift > kMaxShift) {
        const std::size_t length = pageRound(total);
        auto* h = static_cast<Header*>(mapLow(length));
        if (h) {
            h->sizeClass = kLargeClass;
            g_state.stats.reserved += length;
        }
        return h;
    }
    const unsigned cls = shift - kMinShift;
    if (Header* h = g_state.freeLists[cls]) {
        g_state.freeLists[cls] = h->next;
        return h;
    }
    const std::size_t blockSize = std::size_t(1) << shift;
    if (std::size_t(g_state.arenaEnd - g_state.arenaNext) < blockSize) {
        // The rest of the old arena is abandoned: at most 64 KiB of address space.
        auto* arena = static_cast<char*>(mapLow(kArenaSize));
        if (!arena)
            return nullptr;
        g_state.arenaNext = arena;
        g_state.arenaEnd = arena + kArenaSize;
        g_state.stats.reserved += kArenaSize;
    }
    auto* h = reinterpret_cast<Header*>(g_state.arenaNext);
    g_state.arenaNext += blockSize;
    h->sizeClass = static_cast<std::uint16_t>(cls);
    return h;
}

// Makes exactly the first size bytes of the payload addressable for the sanitizer.
void expose(Header* h, std::size_t size) {
    poison(payloadOf(h), capacity(h));
    unpoison(payloadOf(h), size);
}

} // namespace

void* allocate(std::size_t size) {
    if (size == 0)
        return nullptr;
    if (size > kMaxRequest)
        throw std::bad_alloc();
    Header* h = nullptr;
    {
        std::lock_guard guard(g_state.lock);
        h = takeBlock(size);
        if (!h)
            throw std::bad_alloc();
        h->next = nullptr;
        h->size = static_cast<std::uint32_t>(size);
        h->state = kInUse;
        ++g_state.stats.blocks;
        g_state.stats.bytes += size;
    }
    expose(h, size);
    std::memset(payloadOf(h), 0, size);
    return payloadOf(h);
}

void* reallocate(void* block, std::size_t size) {
    if (!block)
        return allocate(size);
    if (size == 0) {
        release(block);
        return nullptr;
    }
    Header* h = checkedHeader(block);
    const std::size_t old = h->size;
    // A large block keeps its mapping only while the page count stays the same, so that
    // release unmaps exactly what was mapped.
    const bool inPlace = h->sizeClass == kLargeClass
                             ? pageRound(kHeaderSize + size) == pageRound(kHeaderSize + old)
                             : size <= capacity(h);
    if (inPlace) {
        {
            std::lock_guard guard(g_state.lock);
            g_state.stats.bytes = g_state.stats.bytes - old + size;
            h->size = static_cast<std::uint32_t>(size);
        }
        expose(h, size);
        if (size > old)
            std::memset(payloadOf(h) + old, 0, size - old);
        return block;
    }
    void* fresh = allocate(size);
    std::memcpy(fresh, block, std::min(old, size));
    release(block);
    return fresh;
}

void release(void* block) noexcept {
    if (!block)
        return;
    std::lock_guard guard(g_state.lock);
    Header* h = checkedHeader(block);
    --g_state.stats.blocks;
    g_state.stats.bytes -= h->size;
    h->state = kFree;
    if (h->sizeClass == kLargeClass) {
        const std::size_t length = pageRound(kHeaderSize + h->size);
        unpoison(h, length); // a later mapping at this address must start clean
        munmap(h, length);
        g_state.stats.reserved -= length;
        return;
    }
    poison(payloadOf(h), capacity(h));
    h->next = g_state.freeLists[h->sizeClass];
    g_state.freeLists[h->sizeClass] = h;
}

std::size_t blockSize(const void* block) noexcept {
    return block ? checkedHeader(block)->size : 0;
}

std::size_t blockCount() noexcept {
    return stats().blocks;
}

Stats stats() noexcept {
    std::lock_guard guard(g_state.lock);
    return g_state.stats;
}

} // namespace hostabi::mem
