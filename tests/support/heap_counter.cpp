// The counting heap: the C library's malloc family and the global operator new, replaced in the
// program so that every library resolves to them, and passed on to the C library's own allocator.
// The program exports them (ENABLE_EXPORTS), so plugin modules opened later bind to them too.
#include "support/heap_counter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

extern "C" {
// glibc's allocator under its own names; the replacements below hand every call on to these.
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {
std::atomic<std::size_t> allocations{0};

void* counted(void* block) {
    if (block != nullptr) allocations.fetch_add(1, std::memory_order_relaxed);
    return block;
}

bool isPowerOfTwo(std::size_t value) { return value != 0 && (value & (value - 1)) == 0; }

void* newBlock(std::size_t size, std::size_t alignment) {
    if (size == 0) size = 1;
    void* block = alignment <= alignof(std::max_align_t) ? std::malloc(size) : aligned_alloc(alignment, size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
}  // namespace

std::size_t testsupport::heapAllocations() { return allocations.load(std::memory_order_relaxed); }

extern "C" {
void* malloc(std::size_t size) { return counted(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) { return counted(__libc_calloc(count, size)); }
void* realloc(void* block, std::size_t size) { return counted(__libc_realloc(block, size)); }
void free(void* block) { __libc_free(block); }
void* memalign(std::size_t alignment, std::size_t size) { return counted(__libc_memalign(alignment, size)); }
void* aligned_alloc(std::size_t alignment, std::size_t size) { return counted(__libc_memalign(alignment, size)); }
int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    if (!isPowerOfTwo(alignment) || alignment % sizeof(void*) != 0) return EINVAL;
    void* block = counted(__libc_memalign(alignment, size));
    if (block == nullptr) return ENOMEM;
    *result = block;
    return 0;
}
}

// operator new goes through the counted malloc, so each allocation counts once.
void* operator new(std::size_t size) { return newBlock(size, 0); }
void* operator new[](std::size_t size) { return newBlock(size, 0); }
void* operator new(std::size_t size, std::align_val_t alignment) {
    return newBlock(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return newBlock(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return newBlock(size, 0);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
