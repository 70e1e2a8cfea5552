// The fifteen wipes on the software surface: how they end on every kind of
// frame, their steps, shapes and pauses at 1024 x 768, the worked orders, the
// order of random draws, and what they do where the design falls short.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "wipe_harness.h"

namespace {

const int kSizes[][2] = {{0, 0},   {1, 1},     {7, 5},     {12, 13},  {31, 31},   {32, 33},   {152, 112},
                         {333, 17}, {17, 333}, {2, 200},   {401, 299}, {1024, 768}, {1920, 1080}};

std::string Describe(int number, int w, int h, std::uint32_t seed)
{
    return "wipe " + std::to_string(number) + " on " + std::to_string(w) + "x" + std::to_string(h) + " seed " + std::to_string(seed);
}

void ExpectEndsAsDesigned(int number, int w, int h, std::uint32_t seed)
{
    WipeRun run(number, w, h, seed);
    EXPECT_EQ(run.played, number);
    EXPECT_EQ(run.surface.originX, 0) << Describe(number, w, h, seed);
    EXPECT_EQ(run.surface.originY, 0) << Describe(number, w, h, seed);
    if (WipeEndsBlack(number, w, h)) {
        EXPECT_EQ(run.NonBlackPixels(), 0) << Describe(number, w, h, seed);
    }
    if (number == 9) {
        EXPECT_TRUE(SpiralLeavesOnlyEdgePixels(run.surface)) << Describe(number, w, h, seed);
    }
    if (number == 11) {
        EXPECT_TRUE(DiagonalLeavesOnlyTheTopLeftStep(run.surface, WipeCoinsForSeed(11, seed) == 1)) << Describe(number, w, h, seed);
    }
}

// A surface that counts the pixels set in and outside the frame.
struct PixelCounter : SoftwareSurface {
    std::vector<int> hits;
    long long outside = 0;
    PixelCounter(int w, int h) : SoftwareSurface(w, h), hits(pixels.size(), 0) {}
    void SetBlackPixel(int x, int y) override
    {
        if (x < 0 || y < 0 || x >= width || y >= height) ++outside;
        else ++hits[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

} // namespace

TEST(Wipes, EndAsDesignedOnEveryFrameSizeWhicheverWayTheirCoinsFall)
{
    for (int number = 0; number < kWipeCount; ++number) {
        for (std::uint32_t seed : SeedsForEveryCoin(number)) {
            for (const auto& size : kSizes) ExpectEndsAsDesigned(number, size[0], size[1], seed);
        }
    }
}

TEST(Wipes, EndAsDesignedOnEveryFrameFrom0x0To40x40)
{
    for (int w = 0; w <= 40; ++w) {
        for (int h = 0; h <= 40; ++h) {
            for (int number = 0; number < kWipeCount; ++number) ExpectEndsAsDesigned(number, w, h, static_cast<std::uint32_t>(w * 41 + h + number));
        }
    }
}

TEST(Wipes, FizzleSetsEveryPixelExactlyOnceWithOrWithoutItsOffsets)
{
    for (const auto& size : kSizes) {
        const int w = size[0], h = size[1];
        for (const bool offsets : {true, false}) {
            PixelCounter counter(w, h);
            RuntimeRandom random;
            SeedRuntimeRandom(random, 99);
            RecordedPauses pauses;
            WipeContext wipe{counter, random, pauses, w, h, 2, kWipeUnit};
            {
                // Without offsets: no memory for anything.
                const FailingAllocations failing = FailingAllocations::From(offsets ? SIZE_MAX : 1);
                WipeFizzle(wipe);
            }
            const std::set<int> hits(counter.hits.begin(), counter.hits.end());
            if (w > 0 && h > 0) {
                EXPECT_EQ(hits, std::set<int>{1}) << w << "x" << h;
            }
            const long long nx = (w + 30) / 31, ny = (h + 30) / 31;
            EXPECT_EQ(static_cast<long long>(counter.hits.size()) + counter.outside, nx * ny * 961) << w << "x" << h;
            EXPECT_TRUE(pauses.pauses.empty());
            // 961 draws for the order, two per block for the offsets when it has them.
            EXPECT_EQ(RandomDrawsSince(99, random), 961 + (offsets ? 2 * nx * ny : 0)) << w << "x" << h;
        }
    }
}

// Steps, shapes and pauses at 1024 x 768 with delayFactor 2, per wipe and coin.
TEST(Wipes, StepsShapesAndPausesAt1024x768)
{
    struct Case {
        int number;
        unsigned coins;
        const char* call; // the kind of drawing call the steps make
        int calls;        // how many
        int pauses;
        int pauseMs;
    };
    const Case cases[] = {
        {0, 1, "row", 768, 31, 50},           {0, 0, "column", 1024, 41, 50},
        {1, 1, "row", 768, 192, 8},           {1, 0, "column", 1024, 256, 8},
        {1, 3, "row", 768, 192, 8},           {2, 0, "column", 1024, 352, 8},
        {2, 3, "line", 1408, 352, 8},         {3, 0, "line", 1792, 359, 10},
        {3, 2, "line", 1792, 359, 10},      {4, 0, "pie", 25, 25, 50},
        {4, 1, "pie", 25, 25, 50},            {5, 0, "pie", 360, 60, 1},
        {6, 0, "polygon", 328, 82, 50},       {6, 1, "polygon", 328, 82, 50},
        {7, 0, "pixel", 816850, 0, 0},        {9, 0, "polygon", 3610, 10, 30},
        {10, 0, "rect", 103 * 26, 103, 6},    {11, 0, "fill-region", 73, 73, 5},
        {11, 1, "fill-region", 73, 73, 5},    {12, 0, "fill-region", 65, 65, 25},
        {13, 0, "fill-region", 16, 16, 12},   {14, 1, "rect", 2 * 257 + 1, 43, 12},
        {14, 0, "rect", 2 * 385 + 1, 33, 12},
    };
    for (const Case& c : cases) {
        const std::uint32_t seed = SeedForCoins(c.number, c.coins);
        WipeRun run(c.number, 1024, 768, seed, /*trace*/ true);
        const std::string what = Describe(c.number, 1024, 768, seed);
        EXPECT_EQ(run.Count(c.call), c.calls) << what;
        EXPECT_EQ(run.pauses.pauses.size(), static_cast<std::size_t>(c.pauses)) << what;
        EXPECT_EQ(run.pauses.Total(), static_cast<long long>(c.pauses) * c.pauseMs) << what;
    }

    // Random squares: side min(w, h) / (16 + r mod 32), one pause of 5 ms per 25 squares.
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        RuntimeRandom first;
        SeedRuntimeRandom(first, seed);
        const int side = 768 / (16 + DrawRuntimeRandom(first) % 32);
        const int squares = (1024 / side + 1) * (768 / side + 1);
        WipeRun run(8, 1024, 768, seed, true);
        EXPECT_EQ(run.Count("rect"), squares) << seed;
        EXPECT_EQ(run.pauses.pauses, std::vector<int>(static_cast<std::size_t>((squares + 24) / 25), 5)) << seed;
        EXPECT_EQ(run.calls.front().substr(0, 5), "rect ");
        EXPECT_GE(squares, 374);
        EXPECT_LE(squares, 3185);
    }
}

TEST(Wipes, ShapesFollowTheDesign)
{
    // Circle wipe: the 24th sector is the whole disc, the 25th the first again.
    WipeRun circle(4, 1024, 768, SeedForCoins(4, 0), true);
    ASSERT_EQ(circle.calls.size(), 25u);
    auto piePoints = [](const std::string& line) {
        std::istringstream in(line.substr(4));
        int v[8];
        for (int& x : v) in >> x;
        return std::vector<int>(v, v + 8);
    };
    const auto p24 = piePoints(circle.calls[23]);
    EXPECT_EQ(p24[4], p24[6]);
    EXPECT_EQ(p24[5], p24[7]);
    EXPECT_EQ(piePoints(circle.calls[24]), piePoints(circle.calls[0]));
    // The box is (-2m, -2m, 2m, 2m) around the centre, in frame pixels.
    EXPECT_EQ(std::vector<int>(p24.begin(), p24.begin() + 4), (std::vector<int>{512 - 2048, 384 - 2048, 512 + 2048, 384 + 2048}));

    // Three circle wipe with s = 0 starts its sectors up, then every 60 degrees counterclockwise.
    std::uint32_t seed = 1;
    for (RuntimeRandom r;; ++seed) {
        SeedRuntimeRandom(r, seed);
        if (DrawRuntimeRandom(r) % 60 == 0) break;
    }
    WipeRun three(5, 200, 100, seed, true);
    const int R = 400;
    const int starts[6][2] = {{0, -R}, {-346, -200}, {-346, 199}, {0, R}, {346, 200}, {346, -199}};
    for (int j = 0; j < 6; ++j) {
        const auto p = piePoints(three.calls[static_cast<std::size_t>(j)]);
        EXPECT_NEAR(p[4] - 100, starts[j][0], 1) << j;
        EXPECT_NEAR(p[5] - 50, starts[j][1], 1) << j;
    }

    // Star outer: the first star has r = 0; the star's centre is filled.
    WipeRun star(13, 1024, 768, 3, true);
    EXPECT_EQ(star.calls.front(), "fill-region polygon 512 384 512 384 512 384 512 384 512 384");
    SoftwareSurface one(200, 200);
    FillWithPattern(one);
    const SurfacePoint points[5] = {{100, 20}, {147, 165}, {24, 75}, {176, 75}, {53, 165}};
    one.FillBlackPolygonRegion(points, 5);
    EXPECT_EQ(one.PixelAt(100, 100), 0u);

    // Spiral on a preview: half 94, step 10, 10 turns of 361 triangles.
    WipeRun spiral(9, 152, 112, 5, true);
    EXPECT_EQ(spiral.Count("polygon"), 3610);
    EXPECT_EQ(spiral.calls.front(), "polygon 76 56 86 56 86 56");

    // Diagonal on a preview: s = 4, 70 steps.
    WipeRun diagonal(11, 152, 112, 5, true);
    EXPECT_EQ(diagonal.Count("fill-region"), 70);

    // Squarerate at t = 0: T1 and T3 are flat.
    WipeRun squarerate(6, 1024, 768, SeedForCoins(6, 0), true);
    EXPECT_EQ(squarerate.calls[0], "polygon 0 0 1024 0 0 0");
    EXPECT_EQ(squarerate.calls[2], "polygon 1024 768 0 768 1024 768");
}

TEST(Wipes, WorkedOrders)
{
    auto lines = [](const WipeRun& run, std::size_t n) {
        std::vector<std::string> out;
        for (const std::string& c : run.calls) {
            if (c.rfind("row ", 0) == 0 || c.rfind("column ", 0) == 0) out.push_back(c);
            if (out.size() == n) break;
        }
        return out;
    };
    auto rows = [](std::initializer_list<int> ys) {
        std::vector<std::string> out;
        for (int y : ys) out.push_back("row " + std::to_string(y));
        return out;
    };
    // Venetian on 768 rows, not mirrored (coins: rows, not mirrored).
    EXPECT_EQ(lines(WipeRun(1, 1024, 768, SeedForCoins(1, 1), true), 16),
              rows({0, 16, 1, 32, 17, 2, 48, 33, 18, 3, 64, 49, 34, 19, 4, 80}));
    // Mirrored, the same order from the bottom edge.
    EXPECT_EQ(lines(WipeRun(1, 1024, 768, SeedForCoins(1, 3), true), 4), rows({767, 751, 766, 735}));
    // Triple wipe on 8 x 6, no mirror.
    EXPECT_EQ(lines(WipeRun(2, 8, 6, SeedForCoins(2, 0), true), 11),
              (std::vector<std::string>{"column 0", "column 2", "column 4", "column 6", "row 0", "row 2", "row 4", "column 7",
                                        "column 5", "column 3", "column 1"}));
    // Quad wipe on 8 x 6, no mirror; the two unfilled slots draw row 0 again.
    EXPECT_EQ(lines(WipeRun(3, 8, 6, SeedForCoins(3, 0), true), 14),
              (std::vector<std::string>{"row 0", "row 5", "column 0", "column 7", "row 2", "row 3", "column 2", "column 5", "row 4",
                                        "row 1", "column 4", "column 3", "row 0", "row 0"}));
    // Both mirrors: every row and column from the opposite edge.
    EXPECT_EQ(lines(WipeRun(3, 8, 6, SeedForCoins(3, 3), true), 4),
              (std::vector<std::string>{"row 5", "row 0", "column 7", "column 0"}));
}

TEST(Wipes, RandomChoiceDrawsOnlyWhenTheNumberIsOutOfRange)
{
    for (const int number : {-1, 15, -7, 16, INT_MIN, INT_MAX}) {
        for (std::uint32_t seed : {1u, 77u, 4000000000u}) {
            WipeRun chosen(number, 64, 48, seed, true);
            RuntimeRandom first;
            SeedRuntimeRandom(first, seed);
            const int expected = DrawRuntimeRandom(first) % 15;
            EXPECT_EQ(chosen.played, expected) << number << " seed " << seed;
            // The chosen wipe then draws from the state after the choice.
            SoftwareSurface same(64, 48);
            FillWithPattern(same);
            std::ostringstream trace;
            TracingSurface tracing(same, trace);
            RecordedPauses pauses;
            RuntimeRandom after = first;
            PlayWipe(tracing, after, pauses, 64, 48, expected, 2);
            EXPECT_EQ(same.pixels, chosen.surface.pixels);
            EXPECT_EQ(after.state, chosen.random.state);
        }
    }
    for (int number = 0; number < kWipeCount; ++number) {
        RuntimeRandom direct;
        SeedRuntimeRandom(direct, 5);
        RecordedPauses pauses;
        SoftwareSurface surface(64, 48);
        WipeContext wipe{surface, direct, pauses, 64, 48, 2, kWipeUnit};
        kWipeTable[number].operation(wipe);
        EXPECT_EQ(WipeRun(number, 64, 48, 5).random.state, direct.state) << number;
    }
}

TEST(Wipes, PausesWithDelayFactorZero)
{
    // 0, 1, 2, 3, 6 and 8 make none; 4 and 10 pause 0 ms; the rest keep theirs.
    for (int number = 0; number < kWipeCount; ++number) {
        const WipeRun zero(number, 320, 240, 11, false, 0);
        const WipeRun two(number, 320, 240, 11, false, 2);
        const std::string what = "wipe " + std::to_string(number);
        switch (number) {
        case 0: case 1: case 2: case 3: case 6: case 8: EXPECT_TRUE(zero.pauses.pauses.empty()) << what; break;
        case 4: case 10:
            EXPECT_EQ(zero.pauses.pauses, std::vector<int>(two.pauses.pauses.size(), 0)) << what;
            EXPECT_FALSE(zero.pauses.pauses.empty()) << what;
            break;
        default: EXPECT_EQ(zero.pauses.pauses, two.pauses.pauses) << what; break;
        }
        EXPECT_EQ(zero.surface.pixels, two.surface.pixels) << what;
    }
}

// Where the design's arithmetic stalls, divides by zero or leaves lines out.
TEST(Wipes, SmallFrames)
{
    struct Case {
        int number;
        unsigned coins;
        int w, h;
        const char* call;
        int calls;
        int pauses;
    };
    const Case cases[] = {
        {14, 1, 152, 112, "rect", 2 * 77 + 1, 7},   // half 76 < 200: bars close 1 pixel a step
        {14, 0, 1, 1, "rect", 2 * 1 + 1, 1},        // half 0: one step of empty bars
        {12, 0, 100, 80, "fill-region", 51, 51},    // half 50, dr 0 -> 1
        {12, 0, 0, 0, "fill-region", 1, 1},         // r = 0: one step
        {13, 0, 10, 4, "fill-region", 10, 10},      // step 0 -> 1
        {13, 0, 0, 0, "fill-region", 0, 0},         // no star, only the final fill
        {6, 0, 12, 40, "polygon", 8, 2},            // N 0 -> 1: two steps
        {6, 1, 0, 0, "polygon", 8, 2},
        {1, 1, 152, 112, "row", 112, 28},           // Venetian completes a preview
        {1, 0, 152, 112, "column", 152, 38},
    };
    for (const Case& c : cases) {
        const std::uint32_t seed = SeedForCoins(c.number, c.coins);
        WipeRun run(c.number, c.w, c.h, seed, true);
        const std::string what = Describe(c.number, c.w, c.h, seed);
        EXPECT_EQ(run.Count(c.call), c.calls) << what;
        EXPECT_EQ(run.pauses.pauses.size(), static_cast<std::size_t>(c.pauses)) << what;
        EXPECT_EQ(run.NonBlackPixels(), 0) << what;
        if (c.number == 1) {
            // Every line exactly once.
            EXPECT_EQ(std::set<std::string>(run.calls.begin(), run.calls.end()).size(), static_cast<std::size_t>(c.calls)) << what;
        }
    }
    // From 232 lines on the design's candidates reach every line by
    // themselves, so the completion changes nothing there.
    for (int h : {232, 240, 768}) {
        WipeRun run(1, 10, h, SeedForCoins(1, 1), true);
        std::vector<std::string> design;
        for (int i = 0; i < 2 * h; ++i) {
            const int v = 16 * (i / 16) - 15 * (i % 16);
            if (v >= 0 && v < h) design.push_back("row " + std::to_string(v));
        }
        EXPECT_EQ(design.size(), static_cast<std::size_t>(h));
        run.calls.erase(std::remove_if(run.calls.begin(), run.calls.end(), [](const std::string& c) { return c.rfind("row ", 0) != 0; }),
                        run.calls.end());
        EXPECT_EQ(run.calls, design) << h;
    }
}

TEST(Wipes, AListThatCannotBeHadBlackensTheFrameInOneFill)
{
    // Every list of these wipes on this frame holds at least 480 entries.
    for (const int number : {0, 1, 2, 3, 8}) {
        const WipeRun run(number, 640, 480, 21, true, 2, /*listsFrom*/ 480 * sizeof(int));
        EXPECT_EQ(run.calls, std::vector<std::string>{"rect 0 0 640 480"}) << number;
        EXPECT_TRUE(run.pauses.pauses.empty()) << number;
        EXPECT_EQ(run.NonBlackPixels(), 0) << number;
        // Only the draws made before the list: coins, or the square side.
        EXPECT_EQ(RandomDrawsSince(21, run.random), number == 0 || number == 8 ? 1 : 2) << number;
    }
}

// Told to stop, a wipe returns at once: what it drew and paused before is its
// whole run's beginning, nothing is drawn or paused after it, the drawing
// origin is back and the generator stands where the whole run leaves it.
TEST(Wipes, StopAtOnceWhenThePauseSaysSo)
{
    for (int number = 0; number < kWipeCount; ++number) {
        for (std::uint32_t seed : SeedsForEveryCoin(number)) {
            const WipeRun whole(number, 320, 240, seed, true);
            const std::string what = Describe(number, 320, 240, seed);
            // Asked after every pause; the fizzle, which makes none, after each of its 961 steps.
            const int questions = number == 7 ? 961 : static_cast<int>(whole.pauses.pauses.size());
            ASSERT_EQ(whole.pauses.questions, questions) << what;
            for (const int stopAt : {1, questions / 2 + 1, questions}) {
                const WipeRun stopped(number, 320, 240, seed, true, 2, 0, stopAt);
                const std::string where = what + " stopped at question " + std::to_string(stopAt);
                EXPECT_EQ(stopped.pauses.questions, stopAt) << where;
                EXPECT_EQ(stopped.calls.size(), stopped.callsAtStop) << where;
                EXPECT_GT(stopped.calls.size(), 0u) << where;
                EXPECT_TRUE(std::equal(stopped.calls.begin(), stopped.calls.end(), whole.calls.begin())) << where;
                const std::size_t paused = number == 7 ? 0 : static_cast<std::size_t>(stopAt);
                EXPECT_EQ(stopped.pauses.pauses, std::vector<int>(whole.pauses.pauses.begin(), whole.pauses.pauses.begin() + static_cast<std::ptrdiff_t>(paused))) << where;
                EXPECT_EQ(stopped.surface.originX, 0) << where;
                EXPECT_EQ(stopped.surface.originY, 0) << where;
                EXPECT_EQ(stopped.random.state, whole.random.state) << where;
            }
        }
    }
}

TEST(Wipes, PausesArePacedAgainstTheirDueTime)
{
    // (pause asked, ms elapsed since the run started) -> ms to sleep
    const int steps[][3] = {
        {50, 0, 50},  // on time: the whole pause
        {50, 55, 45}, // drawing and the last sleep took 55: the rest of the second 50
        {1, 120, 0},  // drawing ran past the due time: no sleep
        {0, 121, 0},  // 0 returns at once
        {-5, 122, 0}, // a negative pause asks for nothing
        {30, 125, 6}, // due at 131
    };
    PauseSchedule schedule;
    for (const auto& step : steps) EXPECT_EQ(schedule.Next(step[0], step[1]), step[2]) << step[0] << " at " << step[1];
    EXPECT_EQ(schedule.dueMilliseconds, 131.0);
}
