#include "forms/ScratchArena.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace forms {

namespace {

constexpr size_t kReserve = size_t{64} << 20;  // address space only; pages are committed as used
constexpr size_t kCommitStep = size_t{64} << 10;
constexpr size_t kAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

// Constant-initialised, so it works for allocations made before any constructor has run.
struct Arena {
    std::atomic<char*> base{nullptr};
    size_t used = 0;
    size_t committed = 0;
    size_t live = 0;    // blocks handed out and not yet freed
    int depth = 0;      // scopes open on the owning thread
    DWORD thread = 0;
};
constinit Arena arena;

bool Owns(const void* block) {
    const char* base = arena.base.load(std::memory_order_acquire);
    const char* p = static_cast<const char*>(block);
    return base && p >= base && p < base + kReserve;
}

void ReleaseWhenDone() {
    if (arena.depth > 0 || arena.live > 0) return;
    if (char* base = arena.base.exchange(nullptr)) VirtualFree(base, 0, MEM_RELEASE);
    arena.used = arena.committed = 0;
}

void* Take(size_t size) {
    if (arena.depth == 0 || GetCurrentThreadId() != arena.thread) return nullptr;
    char* base = arena.base.load(std::memory_order_relaxed);
    if (!base) {
        base = static_cast<char*>(VirtualAlloc(nullptr, kReserve, MEM_RESERVE, PAGE_NOACCESS));
        if (!base) return nullptr;
        arena.base.store(base, std::memory_order_release);
    }
    const size_t start = (arena.used + kAlignment - 1) & ~(kAlignment - 1);
    if (size > kReserve - start) return nullptr;
    const size_t end = start + (size ? size : 1);
    if (end > arena.committed) {
        const size_t commitEnd = std::min(kReserve, (end + kCommitStep - 1) & ~(kCommitStep - 1));
        if (!VirtualAlloc(base + arena.committed, commitEnd - arena.committed, MEM_COMMIT, PAGE_READWRITE))
            return nullptr;
        arena.committed = commitEnd;
    }
    arena.used = end;
    ++arena.live;
    return base + start;
}

}  // namespace

TScratchScope::TScratchScope() {
    if (arena.depth++ == 0) arena.thread = GetCurrentThreadId();
}

TScratchScope::~TScratchScope() {
    --arena.depth;
    ReleaseWhenDone();
}

bool ScratchArenaHeld() { return arena.base.load() != nullptr; }

}  // namespace forms

// Every allocation of the program passes here; outside a scratch scope it is the C runtime's.
void* operator new(std::size_t size) {
    if (void* block = forms::Take(size)) return block;
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    if (!block) return;
    if (!forms::Owns(block)) return std::free(block);
    --forms::arena.live;
    forms::ReleaseWhenDone();
}

void operator delete(void* block, std::size_t) noexcept { operator delete(block); }
