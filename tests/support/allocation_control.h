// The global operator new and delete of a test program, made to count and to
// fail on purpose. A test program that uses them links allocation_control.cpp,
// which replaces the global operator new and delete; nothing else changes for
// it.
//
// While a FailingAllocations lives, the allocations through operator new that
// it names fail as they do when memory is short (std::bad_alloc, or nullptr
// for the nothrow forms).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

class FailingAllocations {
public:
    // Every allocation of at least `bytes` bytes.
    static FailingAllocations From(std::size_t bytes);
    // Every allocation of exactly one of these sizes.
    static FailingAllocations OfSizes(std::initializer_list<std::size_t> sizes);

    ~FailingAllocations();
    FailingAllocations(FailingAllocations&& other) noexcept;
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
    FailingAllocations& operator=(FailingAllocations&&) = delete;

private:
    FailingAllocations() = default;
    bool active_ = false;
};

// Whether an allocation of `size` bytes fails now.
bool AllocationFailsNow(std::size_t size);

// The bytes allocated through operator new and not yet deleted.
std::size_t LiveAllocatedBytes();
