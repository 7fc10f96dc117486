#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
}

namespace Bench {

namespace {
thread_local bool counting = false;
thread_local uint64_t newCount = 0;
thread_local uint64_t mallocCount = 0;
} // namespace

void StartCountingAllocations()
{
    newCount = mallocCount = 0;
    counting = true;
}

AllocationCounts StopCountingAllocations()
{
    counting = false;
    return AllocationCounts{newCount, mallocCount};
}

} // namespace Bench

// glibc lets a program replace malloc; these forward to its own.
extern "C" void* malloc(size_t size)
{
    if (Bench::counting)
        ++Bench::mallocCount;
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    if (Bench::counting)
        ++Bench::mallocCount;
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, size_t size)
{
    if (Bench::counting)
        ++Bench::mallocCount;
    return __libc_realloc(pointer, size);
}

void* operator new(size_t size)
{
    if (Bench::counting)
        ++Bench::newCount;
    if (void* pointer = std::malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* pointer) noexcept { std::free(pointer); }
void operator delete[](void* pointer) noexcept { std::free(pointer); }
void operator delete(void* pointer, size_t) noexcept { std::free(pointer); }
void operator delete[](void* pointer, size_t) noexcept { std::free(pointer); }
