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

// The program's one generator, with the srand/rand interface.
extern RuntimeRandom gProgramRandom;

inline void SaverSrand(std::uint32_t seed) { SeedRuntimeRandom(gProgramRandom, seed); }
inline int SaverRand() { return DrawRuntimeRandom(gProgramRandom); }
