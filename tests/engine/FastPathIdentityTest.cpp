// The program's fast path (cached series, sparse network) against the literal
// reference (every series in full, dense matrix, row-by-row elimination):
// every flow and every result double must carry the same bits, for the
// example and golden projects and for generated designs that switch every
// element on and off.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "EngineDesigns.h"
#include "NumberText.h"
#include "ProjectInput.h"
#include "RunSetup.h"
#include "Simulation.h"
#include "SparseNetwork.h"
#include "SpecialFunctions.h"
#include "Stamps.h"
#include "TestUtil.h"

#ifndef VELUMO_SOURCE_DIR
#define VELUMO_SOURCE_DIR "."
#endif

namespace velumo {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool sameBits(Cx a, Cx b) { return sameBits(a.re, b.re) && sameBits(a.im, b.im); }

// ---- project files -------------------------------------------------------

std::vector<std::string> projectFiles()
{
    std::vector<std::string> files;
    const std::filesystem::path root(VELUMO_SOURCE_DIR);
    for (const auto& e : std::filesystem::directory_iterator(root / "examples")) {
        if (e.path().extension() == ".vlm")
            files.push_back(e.path().string());
    }
    for (const auto& e : std::filesystem::directory_iterator(root / "tests" / "golden"))
        files.push_back((e.path() / "project.vlm").string());
    return files;
}

// ---- comparison ------------------------------------------------------------

struct Comparison {
    int points = 0;       // points compared
    int failedPoints = 0; // points both paths refused
};

bool sameResults(const PointResults& a, const PointResults& b)
{
    const double PointResults::*fields[] = { &PointResults::f, &PointResults::spl, &PointResults::phase,
        &PointResults::zel, &PointResults::x1, &PointResults::x2, &PointResults::pmax1, &PointResults::pmax2,
        &PointResults::splMax, &PointResults::zReal, &PointResults::zImag };
    for (auto field : fields) {
        if (!sameBits(a.*field, b.*field))
            return false;
    }
    return a.hasDriver2 == b.hasDriver2;
}

bool sameFlows(const LoopFlows& fast, const LoopNetwork& ref, int* flow)
{
    for (int k = 0; k < kLoops; ++k) {
        *flow = k;
        if (!sameBits(fast[k], ref.x[k]))
            return false;
    }
    return true;
}

// Both paths at every point of the design's grid, the fast one in batches as
// a run computes them and point by point; stops like a run at the first
// point that fails (and then requires both to fail).
Comparison compareDesign(const RunInput& in, LoopNetwork& dense)
{
    const Model model = prepareRun(in);
    auto sparse = std::make_unique<SparseNetwork>();
    prepareNetwork(*sparse, model, in.crossover);
    auto single = std::make_unique<SparseNetwork>();
    prepareNetwork(*single, model, in.crossover);
    const std::vector<double> grid = frequencyGrid(model);
    Comparison cmp;
    // Batches of every size up to the largest, as runs end with any of them.
    int size = 1;
    for (std::size_t i = 0; i < grid.size(); i += size, size = size % kSolveBatch + 1) {
        const int count = static_cast<int>(std::min<std::size_t>(size, grid.size() - i));
        const double* f = &grid[i];
        PointResults batch[kSolveBatch];
        bool batchOk[kSolveBatch];
        computePoints(model, in.crossover, f, count, *sparse, batch, batchOk);
        for (int m = 0; m < count; ++m) {
            PointResults ref, one;
            const bool refOk = computePoint(model, in.crossover, f[m], dense, ref);
            int flow = 0;
            if (batchOk[m] && !sameFlows(sparse->lane(m).x, dense, &flow)) {
                ADD_FAILURE() << "batch, f = " << f[m] << ", flow " << flow;
                return cmp;
            }
            const bool singleOk = computePoint(model, in.crossover, f[m], *single, one);
            EXPECT_EQ(singleOk, refOk) << "f = " << f[m];
            EXPECT_EQ(batchOk[m], refOk) << "f = " << f[m];
            if (!refOk || !singleOk || !batchOk[m]) {
                ++cmp.failedPoints;
                return cmp;
            }
            if (!sameFlows(single->x, dense, &flow)) {
                ADD_FAILURE() << "f = " << f[m] << ", flow " << flow;
                return cmp;
            }
            if (!sameResults(one, ref) || !sameResults(batch[m], ref)) {
                ADD_FAILURE() << "f = " << f[m] << ": results differ";
                return cmp;
            }
            ++cmp.points;
        }
    }
    return cmp;
}

TEST(FastPathIdentity, examplesAndGoldenProjects)
{
    auto dense = std::make_unique<LoopNetwork>();
    const auto files = projectFiles();
    ASSERT_GE(files.size(), 6u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const Comparison cmp = compareDesign(test::runInputOfProject(file), *dense);
        // Some designs end early at their upper frequency limit.
        EXPECT_GE(cmp.points, 10);
        EXPECT_EQ(cmp.failedPoints, 0);
    }
}

// A run shares its batches out over two threads; each point must come out
// as the lone thread computes it, and as a batch on its own.
TEST(FastPathIdentity, twoThreadsGiveTheBitsOfOne)
{
    std::vector<RunInput> designs = { test::everythingOnDesign() };
    for (const std::string& file : projectFiles())
        designs.push_back(test::runInputOfProject(file));
    for (const RunInput& in : designs) {
        const Model model = prepareRun(in);
        const std::vector<double> grid = frequencyGrid(model);
        GridPoints one, two;
        computeGrid(model, in.crossover, grid, one, 1);
        computeGrid(model, in.crossover, grid, two, 2);
        ASSERT_EQ(one.results.size(), grid.size());
        ASSERT_EQ(two.results.size(), grid.size());
        auto net = std::make_unique<SparseNetwork>();
        prepareNetwork(*net, model, in.crossover);
        for (std::size_t i = 0; i < grid.size(); ++i) {
            PointResults alone[kSolveBatch];
            bool aloneOk[kSolveBatch];
            computePoints(model, in.crossover, &grid[i], 1, *net, alone, aloneOk);
            ASSERT_TRUE(aloneOk[0]) << "f = " << grid[i];
            ASSERT_TRUE(one.ok[i] && two.ok[i]) << "f = " << grid[i];
            ASSERT_TRUE(sameResults(one.results[i], alone[0])) << "f = " << grid[i];
            ASSERT_TRUE(sameResults(two.results[i], alone[0])) << "f = " << grid[i];
        }
    }
}

// Runs started at once from several threads share one helper thread; a run
// that finds it busy does all its batches itself, with the same bits.
TEST(FastPathIdentity, concurrentRunsGiveTheirOwnBits)
{
    const RunInput in = test::everythingOnDesign();
    const Model model = prepareRun(in);
    const std::vector<double> grid = frequencyGrid(model);
    GridPoints alone;
    computeGrid(model, in.crossover, grid, alone, 1);

    GridPoints together[4];
    std::vector<std::thread> runs;
    for (GridPoints& points : together)
        runs.emplace_back([&] { computeGrid(model, in.crossover, grid, points, 2); });
    for (std::thread& run : runs)
        run.join();
    for (const GridPoints& points : together) {
        ASSERT_EQ(points.results.size(), grid.size());
        for (std::size_t i = 0; i < grid.size(); ++i) {
            ASSERT_TRUE(points.ok[i] && alone.ok[i]) << "f = " << grid[i];
            ASSERT_TRUE(sameResults(points.results[i], alone.results[i])) << "f = " << grid[i];
        }
    }
}

// A network kept from run to run re-plans when the pattern changes and
// keeps its plan when it does not; both give a fresh network's bits.
TEST(FastPathIdentity, reusedNetworkGivesAFreshNetworksBits)
{
    const RunInput designs[] = { test::everythingOnDesign(), test::baseDesign(), test::everythingOnDesign(),
        test::everythingOnDesign() };
    auto reused = std::make_unique<SparseNetwork>();
    for (const RunInput& in : designs) {
        const Model model = prepareRun(in);
        const std::vector<double> grid = frequencyGrid(model);
        auto fresh = std::make_unique<SparseNetwork>();
        prepareNetwork(*fresh, model, in.crossover);
        prepareNetwork(*reused, model, in.crossover);
        ASSERT_EQ(reused->storedEntries(), fresh->storedEntries());
        for (std::size_t i = 0; i + kSolveBatch <= grid.size(); i += 5 * kSolveBatch) {
            PointResults a[kSolveBatch], b[kSolveBatch];
            bool aOk[kSolveBatch], bOk[kSolveBatch];
            computePoints(model, in.crossover, &grid[i], kSolveBatch, *fresh, a, aOk);
            computePoints(model, in.crossover, &grid[i], kSolveBatch, *reused, b, bOk);
            for (int m = 0; m < kSolveBatch; ++m) {
                ASSERT_TRUE(aOk[m] && bOk[m]) << "f = " << grid[i + m];
                ASSERT_TRUE(sameResults(a[m], b[m])) << "f = " << grid[i + m];
            }
        }
    }
}

// Kept radiation impedances: a longer horn shares every radiator with the
// first design, a larger mouth does not; all give the bits of a thread that
// keeps none.
TEST(FastPathIdentity, keptRadiationImpedancesGiveTheBitsOfNewOnes)
{
    std::vector<RunInput> designs(3, test::everythingOnDesign());
    designs[1].l1 = 2.7;
    designs[2].h = 75;
    auto runAll = [&designs](bool keep) {
        std::vector<GridPoints> all(designs.size());
        std::thread([&] {
            if (keep)
                keepRadiationImpedances();
            for (std::size_t d = 0; d < designs.size(); ++d) {
                const Model model = prepareRun(designs[d]);
                computeGrid(model, designs[d].crossover, frequencyGrid(model), all[d], 1);
            }
        }).join();
        return all;
    };
    const std::vector<GridPoints> fresh = runAll(false), kept = runAll(true);
    for (std::size_t d = 0; d < designs.size(); ++d) {
        ASSERT_EQ(kept[d].results.size(), fresh[d].results.size());
        for (std::size_t i = 0; i < fresh[d].results.size(); ++i) {
            ASSERT_TRUE(fresh[d].ok[i] && kept[d].ok[i]) << "design " << d << ", point " << i;
            ASSERT_TRUE(sameResults(kept[d].results[i], fresh[d].results[i]))
                << "design " << d << ", point " << i;
        }
    }
}

// Horn position (m) of node n of a 2 m horn, inside the node's interval.
double nodePosition(int n) { return (n + 0.5) * 2.0 / 100.0; }

struct Variant {
    const char* name;
    void (*apply)(RunInput&);
};

TEST(FastPathIdentity, generatedDesignsSwitchEveryElement)
{
    // Each variant is applied to an all-off and an all-on design, in both
    // horn types.
    const Variant variants[] = {
        { "as is", [](RunInput&) {} },
        { "driver 1 at the throat", [](RunInput& in) { in.xT1 = 0; } },
        { "driver 1 at node 1", [](RunInput& in) { in.xT1 = nodePosition(1); } },
        { "driver 1 mid-horn", [](RunInput& in) { in.xT1 = nodePosition(47); } },
        { "driver 1 at node 99", [](RunInput& in) { in.xT1 = nodePosition(99); } },
        { "driver 1 beyond the mouth", [](RunInput& in) { in.xT1 = 5.0; } },
        { "all sides at one node",
            [](RunInput& in) { in.xT1 = in.xT2 = in.xAK = in.xET = nodePosition(30); } },
        { "all sides at node 99",
            [](RunInput& in) { in.xT1 = in.xT2 = in.xAK = in.xET = nodePosition(99); } },
        { "sides at node 99, closed mouth",
            [](RunInput& in) {
                in.xT1 = in.xT2 = in.xAK = in.xET = nodePosition(99);
                in.mouthClosed = true;
            } },
        { "closed mouth", [](RunInput& in) { in.mouthClosed = true; } },
        { "driver 2 same values", [](RunInput& in) { in.driver2Mode = Driver2Mode::LikeDriver1; } },
        { "driver 2 own values reversed",
            [](RunInput& in) {
                in.driver2Mode = Driver2Mode::OwnValues;
                in.driver2Reversed = true;
            } },
        { "driver 2 without own chamber",
            [](RunInput& in) {
                in.driver2Mode = Driver2Mode::OwnValues;
                in.rk2 = false;
            } },
        { "driver 2 same values, reversed, own chamber",
            [](RunInput& in) {
                in.driver2Mode = Driver2Mode::LikeDriver1;
                in.driver2Reversed = true;
                in.rk2 = true;
            } },
        { "driver 2 off", [](RunInput& in) { in.driver2Mode = Driver2Mode::None; } },
        { "absorber only",
            [](RunInput& in) {
                in.ak = true;
                in.et = false;
            } },
        { "tunnel only",
            [](RunInput& in) {
                in.ak = false;
                in.et = true;
            } },
        { "crossover ignored", [](RunInput& in) { in.crossover.ignore = true; } },
        { "conical, in a corner",
            [](RunInput& in) {
                in.flareLaw = FlareLaw::Parabolic;
                in.position = RoomPosition::Free;
            } },
    };
    auto dense = std::make_unique<LoopNetwork>();
    int designs = 0, points = 0;
    for (const RunInput& start : { test::baseDesign(), test::everythingOnDesign() }) {
        for (HornType typ : { HornType::FrontLoaded, HornType::RearLoaded }) {
            for (const Variant& v : variants) {
                RunInput in = start;
                in.hornType = typ;
                in.freqPoints = 60;
                v.apply(in);
                SCOPED_TRACE(std::string(v.name) + ", type " + std::to_string(static_cast<int>(typ)));
                const Comparison cmp = compareDesign(in, *dense);
                EXPECT_GE(cmp.points, 20);
                ++designs;
                points += cmp.points;
            }
        }
    }
    EXPECT_EQ(designs, 76);
    RecordProperty("points", points);
}

// ---- the solver on its own -------------------------------------------------

// Random sparse systems with the awkward values of the stamps: purely real
// and purely imaginary entries with signed zeros, exact zeros inside the
// pattern, wide couplings. The dense solver and the replay must agree on
// success and on every bit of every flow.
TEST(FastPathIdentity, sparseSolverReplaysTheDenseSolverBitForBitInEveryLane)
{
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> mag(0.1, 10.0);
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_int_distribution<int> anyLoop(0, kLoops - 1);
    auto value = [&] {
        const double a = mag(rng) * (pick(rng) < 5 ? -1.0 : 1.0);
        switch (pick(rng)) {
        case 0:
            return Cx { -0.0, a };
        case 1:
            return Cx { 0.0, a };
        case 2:
            return Cx { a, -0.0 };
        case 3:
            return Cx { a, 0.0 };
        case 4:
            return Cx { -0.0, -0.0 };
        case 5:
            return Cx { 0.0, 0.0 };
        default:
            return Cx { a, mag(rng) };
        }
    };
    auto dense = std::make_unique<LoopNetwork>();
    int solved = 0, lanes = 0, mixedBatches = 0, negativeZeroFlows = 0;
    for (int trial = 0; trial < 40; ++trial) {
        // Band of half-width 1..2 plus a few long couplings both ways.
        std::vector<std::pair<int, int>> positions;
        const int half = 1 + trial % 2;
        for (int r = 0; r < kLoops; ++r) {
            for (int c = std::max(0, r - half); c <= std::min(kLoops - 1, r + half); ++c)
                positions.emplace_back(r, c);
        }
        for (int n = 0; n < 6; ++n) {
            const int r = anyLoop(rng), c = anyLoop(rng);
            positions.emplace_back(r, c);
            positions.emplace_back(c, r);
        }
        auto sparse = std::make_unique<SparseNetwork>();
        sparse->beginPattern();
        for (auto [r, c] : positions)
            sparse->M[r][c] = Cx {};
        sparse->endPattern();

        // Every lane its own values, so that one batch holds lanes that skip
        // a pivot, fail or succeed side by side; some batches not full.
        const int count = trial % 4 == 3 ? 1 + trial % kSolveBatch : kSolveBatch;
        std::vector<std::vector<Cx>> laneValues(count);
        std::vector<std::array<Cx, kLoops>> laneSources(count);
        sparse->clear();
        for (int l = 0; l < count; ++l) {
            SparseNetwork::Lane& lane = sparse->lane(l);
            // Now and then one lane loses a diagonal entry: at row 0 it must
            // fail, further down it may.
            const bool loses = trial % 3 != 2 && l == trial % count;
            const int lostRow = trial % 3 == 0 ? 0 : anyLoop(rng);
            for (auto [r, c] : positions) {
                Cx v = value();
                if (r == c && isZero(v))
                    v = Cx { 1.0, -0.0 };
                if (loses && r == lostRow && c == lostRow)
                    v = Cx {};
                laneValues[l].push_back(v);
                lane.M[r][c] = v;
            }
            // Sources on a few rows only, as in the stamps; a −0 among them.
            laneSources[l].fill(Cx {});
            for (int r : { 0, 157, anyLoop(rng) })
                laneSources[l][r] = Cx { mag(rng), -0.0 };
            laneSources[l][anyLoop(rng)] = Cx { -0.0, -0.0 };
            lane.b = laneSources[l];
        }
        bool ok[kSolveBatch];
        solveBatch(*sparse, count, ok);

        int lanesSolved = 0;
        for (int l = 0; l < count; ++l) {
            dense->clear();
            for (std::size_t n = 0; n < positions.size(); ++n)
                dense->M[positions[n].first][positions[n].second] = laneValues[l][n];
            dense->b = laneSources[l];
            bool denseFinite = solve(*dense);
            for (const Cx& v : dense->x)
                denseFinite = denseFinite && isFinite(v);
            ASSERT_EQ(ok[l], denseFinite) << "trial " << trial << ", lane " << l;
            if (!ok[l])
                continue;
            ++lanesSolved;
            const LoopFlows& x = sparse->lane(l).x;
            for (int k = 0; k < kLoops; ++k) {
                ASSERT_TRUE(sameBits(x[k], dense->x[k]))
                    << "trial " << trial << ", lane " << l << ", flow " << k;
                if (std::signbit(dense->x[k].re) && dense->x[k].re == 0.0)
                    ++negativeZeroFlows;
            }
        }
        solved += lanesSolved;
        lanes += count;
        mixedBatches += lanesSolved > 0 && lanesSolved < count ? 1 : 0;
    }
    EXPECT_GE(solved, lanes / 2);
    EXPECT_GT(mixedBatches, 0);
    RecordProperty("negative_zero_flows", negativeZeroFlows);
}

// Unit diagonal everywhere plus the given entries; pattern = those positions.
void identityPlus(
    LoopNetwork& dense, SparseNetwork& sparse, const std::vector<std::pair<std::pair<int, int>, Cx>>& extra)
{
    sparse.beginPattern();
    for (int r = 0; r < kLoops; ++r)
        sparse.M[r][r] = Cx {};
    for (const auto& [rc, v] : extra)
        sparse.M[rc.first][rc.second] = v;
    sparse.endPattern();
    dense.clear();
    sparse.clear();
    for (int r = 0; r < kLoops; ++r)
        dense.M[r][r] = sparse.M[r][r] = Cx { 1.0 };
    for (const auto& [rc, v] : extra)
        dense.M[rc.first][rc.second] = sparse.M[rc.first][rc.second] = v;
}

TEST(FastPathIdentity, zeroEntriesOfBackSubstitutionStillTurnNegativeZeros)
{
    // Row 0 has no entry in column 5, but the dense solver still subtracts
    // (+0, +0)·x[5] = (−0, +0) from s = (−0, −0), which makes s.re +0.
    auto dense = std::make_unique<LoopNetwork>();
    auto sparse = std::make_unique<SparseNetwork>();
    identityPlus(*dense, *sparse, {});
    dense->b[0] = sparse->b[0] = Cx { -0.0, -0.0 };
    dense->b[5] = sparse->b[5] = Cx { -1.0, 1.0 };
    ASSERT_TRUE(solve(*dense));
    ASSERT_TRUE(solve(*sparse));
    EXPECT_FALSE(std::signbit(dense->x[0].re));
    EXPECT_TRUE(std::signbit(dense->x[0].im));
    for (int k = 0; k < kLoops; ++k)
        ASSERT_TRUE(sameBits(sparse->x[k], dense->x[k])) << k;
}

TEST(FastPathIdentity, zeroEntriesOfPivotRowsStillTurnNegativeZeros)
{
    // Eliminating row 1 with q = (−1, 1) subtracts (+0, +0)·q = (−0, +0) from
    // M[1][2] = (−0, 1), which makes its real part +0; with x[2] = 0 that sign
    // reaches x[1].
    auto dense = std::make_unique<LoopNetwork>();
    auto sparse = std::make_unique<SparseNetwork>();
    identityPlus(*dense, *sparse, { { { 1, 0 }, Cx { -1.0, 1.0 } }, { { 1, 2 }, Cx { -0.0, 1.0 } } });
    dense->b[0] = sparse->b[0] = Cx { 0.0, -0.0 };
    dense->b[1] = sparse->b[1] = Cx { -0.0, -0.0 };
    ASSERT_TRUE(solve(*dense));
    ASSERT_TRUE(solve(*sparse));
    EXPECT_TRUE(std::signbit(dense->x[1].re));
    for (int k = 0; k < kLoops; ++k)
        ASSERT_TRUE(sameBits(sparse->x[k], dense->x[k])) << k;
}

TEST(FastPathIdentity, sparseSolverRefusesAZeroPivotLikeTheDenseSolver)
{
    auto dense = std::make_unique<LoopNetwork>();
    auto sparse = std::make_unique<SparseNetwork>();
    sparse->beginPattern();
    for (int r = 0; r < kLoops; ++r) {
        sparse->M[r][r] = Cx {};
        if (r > 0)
            sparse->M[r][r - 1] = Cx {};
    }
    sparse->endPattern();
    dense->clear();
    sparse->clear();
    for (int r = 0; r < kLoops; ++r) {
        dense->M[r][r] = sparse->M[r][r] = Cx { 2.0 };
        if (r > 0)
            dense->M[r][r - 1] = sparse->M[r][r - 1] = Cx { 1.0 };
    }
    // Row 40 eliminated against a vanished diagonal 39.
    dense->M[39][39] = sparse->M[39][39] = Cx {};
    dense->b[0] = sparse->b[0] = Cx { 1.0 };
    EXPECT_FALSE(solve(*dense));
    EXPECT_FALSE(solve(*sparse));
}

TEST(FastPathIdentity, writesOutsideThePatternAreRefused)
{
    auto sparse = std::make_unique<SparseNetwork>();
    sparse->beginPattern();
    for (int r = 0; r < kLoops; ++r)
        sparse->M[r][r] = Cx {};
    sparse->endPattern();
    sparse->clear();
    for (int r = 0; r < kLoops; ++r)
        sparse->M[r][r] = Cx { 1.0 };
    sparse->M[10][200] = Cx { 3.0 };
    EXPECT_TRUE(sparse->patternMissed());
    EXPECT_FALSE(solve(*sparse));
    sparse->clear();
    for (int r = 0; r < kLoops; ++r)
        sparse->M[r][r] = Cx { 1.0 };
    sparse->b[10] = Cx { 3.0 };
    ASSERT_TRUE(solve(*sparse));
    EXPECT_EQ(sparse->x[10], Cx { 3.0 });

    // A network never laid out takes no entry and solves nothing.
    auto fresh = std::make_unique<SparseNetwork>();
    fresh->M[3][3] = Cx { 1.0 };
    EXPECT_TRUE(fresh->patternMissed());
    EXPECT_FALSE(solve(*fresh));
    auto untouched = std::make_unique<SparseNetwork>();
    EXPECT_FALSE(solve(*untouched));
}

// ---- the series ------------------------------------------------------------

TEST(FastPathIdentity, pistonPartsGiveTheLiteralSeriesBits)
{
    // Dense in the series range (where terms are dropped) and across the
    // switch-over points 5, 10 and 15; tiny arguments too.
    std::vector<double> xs = { 0.0, 1e-300, 1e-12, 1e-6, 5.0, 10.0, 15.0, 5.0000000001, 9.999999999 };
    for (double x = 0.0; x <= 16.0; x += 0.00731)
        xs.push_back(x);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> any(0.0, 12.0);
    for (int n = 0; n < 2000; ++n)
        xs.push_back(any(rng));
    for (double x : xs) {
        const PistonParts p = pistonParts(x);
        ASSERT_TRUE(sameBits(p.r, pistonR(x))) << "x = " << x;
        ASSERT_TRUE(sameBits(p.x, pistonX(x))) << "x = " << x;
    }
}

TEST(FastPathIdentity, alternatingSignIsExact)
{
    // The series apply pow(-1, i) by negation; that needs it exactly ±1.
    for (int i = 0; i <= 50; ++i)
        ASSERT_EQ(std::pow(-1.0, i), i % 2 ? -1.0 : 1.0) << i;
}

} // namespace
} // namespace velumo
