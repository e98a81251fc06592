// The frequency loop of a run allocates nothing: element values, stamps,
// solve and results of every point live in storage laid out before the loop.
// Global operator new is replaced here (for the whole test program) by one
// that counts while a test asks it to.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "EngineDesigns.h"
#include "RunPresentation.h"
#include "RunSetup.h"
#include "Simulation.h"
#include "TestUtil.h"

namespace {

std::atomic<bool> g_counting { false };
std::atomic<long> g_allocations { 0 };

void* countedAllocation(std::size_t size, std::size_t alignment = 0)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    size = size == 0 ? 1 : size;
    // aligned_alloc wants a multiple of the alignment.
    void* p = alignment == 0 ? std::malloc(size)
                             : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    if (p)
        return p;
    throw std::bad_alloc();
}

// Counts the allocations made between construction and count().
class AllocationCounter {
public:
    AllocationCounter()
    {
        g_allocations = 0;
        g_counting = true;
    }
    ~AllocationCounter() { g_counting = false; }
    long count()
    {
        g_counting = false;
        return g_allocations.load();
    }
};

} // namespace

void* operator new(std::size_t size) { return countedAllocation(size); }
void* operator new[](std::size_t size) { return countedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// The networks are over-aligned; their allocations count too.
void* operator new(std::size_t size, std::align_val_t a)
{
    return countedAllocation(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a)
{
    return countedAllocation(size, static_cast<std::size_t>(a));
}
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace velumo {
namespace {

TEST(NoAllocation, counterSeesAnAllocation)
{
    AllocationCounter counter;
    auto v = std::make_unique<std::vector<int>>(100, 1);
    EXPECT_GE(counter.count(), 2); // the vector object and its elements
}

struct PreparedRun {
    RunInput in = test::everythingOnDesign();
    Model model;
    std::vector<double> grid;
    PreparedRun()
    {
        in.let = 0.05; // tunnel lumped up to 1358 Hz, above the grid
        in.freqAuto = false;
        in.freqMin = 10;
        in.freqMax = 1000;
        in.freqPoints = 170;
        model = prepareRun(in);
        grid = frequencyGrid(model);
    }
};

TEST(NoAllocation, frequencyLoopPointByPointAllocatesNothing)
{
    const PreparedRun run;
    ASSERT_GE(run.grid.size(), 169u);
    auto net = std::make_unique<SparseNetwork>();
    prepareNetwork(*net, run.model, run.in.crossover);
    PointResults result;
    ASSERT_TRUE(computePoint(run.model, run.in.crossover, run.grid[0], *net, result)); // warm-up

    AllocationCounter counter;
    int computed = 0;
    for (int i = 0; i < 169; ++i)
        computed += computePoint(run.model, run.in.crossover, run.grid[i], *net, result) ? 1 : 0;
    EXPECT_EQ(counter.count(), 0);
    EXPECT_EQ(computed, 169);
}

TEST(NoAllocation, frequencyLoopInBatchesAllocatesNothing)
{
    const PreparedRun run;
    ASSERT_GE(run.grid.size(), 169u);
    auto net = std::make_unique<SparseNetwork>();
    prepareNetwork(*net, run.model, run.in.crossover);
    PointResults results[kSolveBatch];
    bool ok[kSolveBatch];
    computePoints(run.model, run.in.crossover, run.grid.data(), kSolveBatch, *net, results, ok);

    AllocationCounter counter;
    int computed = 0;
    for (int i = 0; i < 169; i += kSolveBatch) {
        const int count = std::min(kSolveBatch, 169 - i);
        computePoints(run.model, run.in.crossover, &run.grid[i], count, *net, results, ok);
        computed += static_cast<int>(std::count(ok, ok + count, true));
    }
    EXPECT_EQ(counter.count(), 0);
    EXPECT_EQ(computed, 169);
}

TEST(NoAllocation, literalReferenceAllocatesNothingEither)
{
    // The dense network is the caller's; the reference path itself only
    // computes.
    const PreparedRun run;
    auto net = std::make_unique<LoopNetwork>();
    PointResults result;
    AllocationCounter counter;
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(computePoint(run.model, run.in.crossover, run.grid[i], *net, result));
    EXPECT_EQ(counter.count(), 0);
}

// A whole run, row writing included: its allocations (set-up, files, the
// grid) do not grow with the number of points, so the loop makes none.
TEST(NoAllocation, wholeRunAllocatesTheSameForFewAndManyPoints)
{
    auto allocationsOfRun = [](int points) {
        PreparedRun run;
        run.in.freqPoints = points;
        test::TempDir dir;
        AllocationCounter counter;
        const RunOutcome outcome = runAndWriteLists(run.in, dir.path().string());
        const long n = counter.count();
        EXPECT_EQ(outcome.status, RunStatus::Ok);
        EXPECT_GE(outcome.points, points);
        return n;
    };
    // The first runs start the helper thread and the radiation memos that
    // later runs reuse.
    allocationsOfRun(20);
    allocationsOfRun(20);
    EXPECT_EQ(allocationsOfRun(20), allocationsOfRun(169));
}

} // namespace
} // namespace velumo
