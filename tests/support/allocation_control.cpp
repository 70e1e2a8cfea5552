#include "allocation_control.h"

#include <cstddef>
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

// Each block carries its size in front of it, in a header as large as the
// strictest alignment a plain operator new gives.
constexpr std::size_t kHeader = alignof(std::max_align_t) > sizeof(std::size_t) ? alignof(std::max_align_t) : sizeof(std::size_t);
std::size_t liveBytes = 0;

void* TryAllocate(std::size_t size) noexcept
{
    if (AllocationFailsNow(size) || size > SIZE_MAX - kHeader) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    liveBytes += size;
    return block + kHeader;
}

void* Allocate(std::size_t size)
{
    void* block = TryAllocate(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void Release(void* block) noexcept
{
    if (block == nullptr) return;
    auto* start = static_cast<unsigned char*>(block) - kHeader;
    liveBytes -= *reinterpret_cast<std::size_t*>(start);
    std::free(start);
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

std::size_t LiveAllocatedBytes() { return liveBytes; }

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
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
