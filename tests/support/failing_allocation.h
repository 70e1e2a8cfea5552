// Memory that runs out on purpose: while a FailingAllocations lives, the
// allocations through operator new that it names fail as they do when memory
// is short (std::bad_alloc, or nullptr for the nothrow forms). A test program
// that uses it links failing_allocation.cpp, which replaces the global
// operator new and delete; nothing else changes for it.
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
