// The runtime's linear congruential generator, written out so that every
// platform draws the same sequence: seeding sets a 32-bit state; each draw sets
// state = state * 214013 + 2531011 (mod 2^32) and returns bits 16..30.
#pragma once

#include <cstdint>

struct RuntimeRandom {
    std::uint32_t state = 1;
};

void SeedRuntimeRandom(RuntimeRandom& random, std::uint32_t seed);

// Returns 0..32767.
int DrawRuntimeRandom(RuntimeRandom& random);

// The seed of the window of monitor `number` (0: the primary's, or the only
// window) when the windows of several monitors are made within one tick of
// the clock. Consecutive seeds would start the generator almost alike (the
// first draws of seeds s and s + 1 differ by about 3), so the seeds lie a
// large odd step apart; the primary's is the tick count itself.
inline std::uint32_t SeparateMonitorSeed(std::uint32_t seed, int number)
{
    return number > 0 ? seed + static_cast<std::uint32_t>(number) * 0x9E3779B9u : seed;
}
