#include "failing_allocation.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// One rule at a time, read by every allocation. The sizes are kept in a
// fixed array: the rule itself must not allocate through operator new.
struct FailureRule {
    bool on = false;
    std::size_t from = SIZE_MAX;
    std::size_t sizes[8] = {};
    std::size_t sizeCount = 0;
};
FailureRule rule;

void* Allocate(std::size_t size)
{
    if (AllocationFailsNow(size)) throw std::bad_alloc();
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

} // namespace

bool AllocationFailsNow(std::size_t size)
{
    if (!rule.on) return false;
    if (size >= rule.from) return true;
    for (std::size_t i = 0; i < rule.sizeCount; ++i) {
        if (rule.sizes[i] == size) return true;
    }
    return false;
}

FailingAllocations FailingAllocations::From(std::size_t bytes)
{
    FailingAllocations failing;
    rule = FailureRule{};
    rule.from = bytes;
    rule.on = failing.active_ = true;
    return failing;
}

FailingAllocations FailingAllocations::OfSizes(std::initializer_list<std::size_t> sizes)
{
    FailingAllocations failing;
    rule = FailureRule{};
    for (const std::size_t size : sizes) {
        if (rule.sizeCount < sizeof rule.sizes / sizeof rule.sizes[0]) rule.sizes[rule.sizeCount++] = size;
    }
    rule.on = failing.active_ = true;
    return failing;
}

FailingAllocations::FailingAllocations(FailingAllocations&& other) noexcept : active_(other.active_) { other.active_ = false; }

FailingAllocations::~FailingAllocations()
{
    if (active_) rule = FailureRule{};
}

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (AllocationFailsNow(size)) return nullptr;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept { return operator new(size, nothrow); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
