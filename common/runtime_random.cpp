#include "runtime_random.h"

void SeedRuntimeRandom(RuntimeRandom& random, std::uint32_t seed) { random.state = seed; }

int DrawRuntimeRandom(RuntimeRandom& random)
{
    // Unsigned arithmetic wraps modulo 2^32, exactly as the runtime's does.
    random.state = random.state * 214013u + 2531011u;
    return static_cast<int>((random.state >> 16) & 0x7FFFu);
}
