#include "bench/AllocationCounter.h"

#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
}

// Bounds of this executable's code, from the linker.
extern "C" const char __executable_start;
extern "C" const char etext;

namespace Bench {

namespace {

thread_local bool counting = false;
thread_local uint64_t ownCount = 0;
thread_local uint64_t libraryCount = 0;

} // namespace

void StartCountingAllocations()
{
    ownCount = libraryCount = 0;
    counting = true;
}

AllocationCounts StopCountingAllocations()
{
    counting = false;
    return AllocationCounts{ownCount, libraryCount};
}

// Attributes an allocation by the address it returns to.
void Count(const void* caller)
{
    if (!counting)
        return;
    const auto* address = static_cast<const char*>(caller);
    if (address >= &__executable_start && address < &etext)
        ++ownCount;
    else
        ++libraryCount;
}

} // namespace Bench

// glibc lets a program replace malloc; these forward to its own.
extern "C" void* malloc(size_t size)
{
    Bench::Count(__builtin_return_address(0));
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    Bench::Count(__builtin_return_address(0));
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, size_t size)
{
    Bench::Count(__builtin_return_address(0));
    return __libc_realloc(pointer, size);
}

void* operator new(size_t size)
{
    Bench::Count(__builtin_return_address(0));
    if (void* pointer = __libc_malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    Bench::Count(__builtin_return_address(0));
    if (void* pointer = __libc_malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}
void operator delete(void* pointer) noexcept { std::free(pointer); }
void operator delete[](void* pointer) noexcept { std::free(pointer); }
void operator delete(void* pointer, size_t) noexcept { std::free(pointer); }
void operator delete[](void* pointer, size_t) noexcept { std::free(pointer); }
