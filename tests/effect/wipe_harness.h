// What the wipe tests share, natively and under Wine: recorded pauses, seeds
// that make a wipe's coins fall every way, and a run of one wipe on a
// software surface with its drawing calls written down.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "headless/tracing_surface.h"
#include "tests/support/allocation_control.h"
#include "terrain/terrain_wipes.h"

// How many values the generator seeded with `seed` gave to reach `after`
// (-1 beyond ten million).
inline int RandomDrawsSince(std::uint32_t seed, const RuntimeRandom& after)
{
    RuntimeRandom probe;
    SeedRuntimeRandom(probe, seed);
    for (int n = 0; n < 10000000; ++n) {
        if (probe.state == after.state) return n;
        DrawRuntimeRandom(probe);
    }
    return -1;
}

struct RecordedPauses : StepPause {
    std::vector<int> pauses;
    std::function<void()> onPause; // runs at every pause, after it is recorded
    int stopAt = 0;                // says stop from this question on (1: the first); 0: never
    int questions = 0;             // how often the step asked whether to stop
    std::function<void()> onStop;  // runs when stop is first said
    void Pause(int milliseconds) override
    {
        pauses.push_back(milliseconds);
        if (onPause) onPause();
    }
    bool StopRequested() override
    {
        ++questions;
        if (stopAt > 0 && questions == stopAt && onStop) onStop();
        return stopAt > 0 && questions >= stopAt;
    }
    long long Total() const
    {
        long long total = 0;
        for (int p : pauses) total += p;
        return total;
    }
};

// Which of a wipe's first random draws are coins (draw 0 is its first).
inline std::vector<int> WipeCoinDraws(int number)
{
    switch (number) {
    case 0: case 6: case 11: case 14: return {0};
    case 1: case 2: case 3: return {0, 1};
    case 4: return {1}; // draw 0 is the start direction
    default: return {};
    }
}

// The coins a seed gives wipe `number`, as bits: bit i is coin i (1: heads).
inline unsigned WipeCoinsForSeed(int number, std::uint32_t seed)
{
    RuntimeRandom random;
    SeedRuntimeRandom(random, seed);
    int draws[2] = {DrawRuntimeRandom(random), DrawRuntimeRandom(random)};
    unsigned coins = 0;
    const std::vector<int> which = WipeCoinDraws(number);
    for (std::size_t i = 0; i < which.size(); ++i) coins |= static_cast<unsigned>(draws[which[i]] & 1) << i;
    return coins;
}

// The first seed from `from` on that gives every combination of the wipe's
// coins, one seed per combination in combination order (one seed for a wipe
// without coins).
inline std::vector<std::uint32_t> SeedsForEveryCoin(int number, std::uint32_t from = 1)
{
    const unsigned combinations = 1u << WipeCoinDraws(number).size();
    std::vector<std::uint32_t> seeds(combinations, 0);
    unsigned found = 0;
    for (std::uint32_t seed = from; found < combinations; ++seed) {
        const unsigned coins = WipeCoinsForSeed(number, seed);
        if (seeds[coins] == 0) {
            seeds[coins] = seed;
            ++found;
        }
    }
    return seeds;
}

inline std::uint32_t SeedForCoins(int number, unsigned coins, std::uint32_t from = 1)
{
    for (std::uint32_t seed = from;; ++seed) {
        if (WipeCoinsForSeed(number, seed) == coins) return seed;
    }
}

// A picture with no black pixel, so that whatever a wipe leaves shows.
inline void FillWithPattern(SoftwareSurface& surface)
{
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            surface.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(surface.width) + static_cast<std::size_t>(x)] =
                0x102030u + static_cast<std::uint32_t>((x * 7) & 0xFF) + (static_cast<std::uint32_t>((y * 5) & 0xFF) << 8);
        }
    }
}

struct WipeRun {
    SoftwareSurface surface;
    RuntimeRandom random;
    RecordedPauses pauses;
    std::vector<std::string> calls; // the drawing calls, when traced
    int played = -1;
    std::size_t callsAtStop = 0;    // how many calls were traced when the pause first said stop

    // stopAt: the pause says stop from that question on (0: never).
    // listsFrom: the wipe is called through the table with no memory for
    // allocations of that many bytes or more (0: PlayWipe, memory as it is).
    WipeRun(int number, int w, int h, std::uint32_t seed, bool trace = false, int delayFactor = 2, std::size_t listsFrom = 0,
            int stopAt = 0)
        : surface(w, h)
    {
        FillWithPattern(surface);
        SeedRuntimeRandom(random, seed);
        std::ostringstream out;
        TracingSurface tracing(surface, out);
        pauses.stopAt = stopAt;
        pauses.onStop = [&] {
            const std::string sofar = out.str();
            callsAtStop = static_cast<std::size_t>(std::count(sofar.begin(), sofar.end(), '\n'));
        };
        DrawSurface& target = trace ? static_cast<DrawSurface&>(tracing) : surface;
        if (listsFrom == 0) {
            played = PlayWipe(target, random, pauses, w, h, number, delayFactor);
        } else {
            WipeContext wipe{target, random, pauses, w, h, delayFactor, kWipeUnit};
            const FailingAllocations failing = FailingAllocations::From(listsFrom);
            kWipeTable[number].operation(wipe);
            played = number;
        }
        pauses.onStop = nullptr;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);) calls.push_back(line);
    }

    long long NonBlackPixels() const
    {
        long long count = 0;
        for (std::uint32_t p : surface.pixels) count += p != 0 ? 1 : 0;
        return count;
    }
    // Calls whose line starts with the word; "line" counts rows and columns.
    int Count(const std::string& word) const
    {
        if (word == "line") return Count("row") + Count("column");
        int n = 0;
        for (const std::string& c : calls) n += c.compare(0, word.size() + 1, word + " ") == 0 ? 1 : 0;
        return n;
    }
};

// Whether the design has the wipe leave every pixel of a w x h frame black:
// all do, except the triple wipe with an odd width and the quad wipe with an
// odd width or height, whose line lists miss a few lines there, and the
// spiral, whose outermost turn can pass a pixel or two of the frame's edge
// (see SpiralLeavesOnlyEdgePixels).
inline bool WipeEndsBlack(int number, int w, int h)
{
    if (number == 2) return w % 2 == 0;
    if (number == 3) return w % 2 == 0 && h % 2 == 0;
    return number != 9 && number != 11;
}

// The diagonal wipe moving right always ends black. Moving left, its last
// placement stops one step short for the shape's top rows when they lie on
// the staircase's last step (on frames such as 1920 x 1080, not on
// 1024 x 768): at most the top-left s x s pixels are left, s = h / 32 + 1.
inline bool DiagonalLeavesOnlyTheTopLeftStep(const SoftwareSurface& s, bool rightward)
{
    const int step = s.height / 32 + 1;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (s.PixelAt(x, y) != 0 && (rightward || x >= step || y >= step)) return false;
        }
    }
    return true;
}

// The spiral's last turn starts at a radius of at least half the diagonal,
// but its points are truncated toward the centre and joined by chords: it may
// leave a few pixels, all on or next to the frame's edge.
inline bool SpiralLeavesOnlyEdgePixels(const SoftwareSurface& s)
{
    int left = 0;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (s.PixelAt(x, y) == 0) continue;
            const int edge = std::min(std::min(x, s.width - 1 - x), std::min(y, s.height - 1 - y));
            if (edge > 1 || ++left > 8) return false;
        }
    }
    return true;
}
