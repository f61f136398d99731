// Counts every heap allocation the process makes. Only a program that links heap_counter.cpp, which
// replaces the global operator new and the C library's malloc family, has a counter to read.
#pragma once

#include <cstddef>

namespace testsupport {

// Allocations made so far: every successful malloc, calloc, realloc, aligned allocation and
// operator new, in any library of the process, plugin modules loaded later included.
std::size_t heapAllocations();

// How many allocations the call makes.
template <typename Call>
std::size_t allocationsOf(Call&& call) {
    const std::size_t before = heapAllocations();
    call();
    return heapAllocations() - before;
}

}  // namespace testsupport
