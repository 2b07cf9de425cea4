// The flight loop must not touch the heap: a run counts the allocations made
// between its start and its end.

#include "sim_fixture.h"

#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

namespace {
void* CountedAlloc(std::size_t size) noexcept {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    return std::malloc(size == 0 ? 1 : size);
}
void* CountedAllocOrThrow(std::size_t size) {
    if (void* p = CountedAlloc(size)) {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

// Every unaligned form is replaced, so that each new meets its own delete.
void* operator new(std::size_t size) {
    return CountedAllocOrThrow(size);
}
void* operator new[](std::size_t size) {
    return CountedAllocOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAlloc(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAlloc(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

using namespace skarvel;

TEST(Allocation, AWholeFlightAllocatesNothing) {
    test::DefaultTables f;
    f.setInput(data::input::Altitude, "2000"); // the full 90 s
    f.setInput(data::input::ThermalStrength, "1");
    f.setInput(data::input::WindSpeed, "2");
    f.prepare();
    auto record = std::make_unique<sim::FlightRecord>();
    sim::RunStatistics stats;
    sim::RunObserver silent;
    allocations = 0;
    counting = true;
    sim::RunFlight(f.in, nullptr, *record, stats, silent);
    counting = false;
    EXPECT_EQ(record->lastIndex, sim::FlightRecord::kMaxSamples);
    EXPECT_EQ(allocations.load(), 0);

    // The counter works: a string of this size must come from the heap.
    counting = true;
    auto probe = std::make_unique<std::string>(100, 'x');
    counting = false;
    EXPECT_GE(allocations.load(), 1);
}
