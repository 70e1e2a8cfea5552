#include <gtest/gtest.h>

#include "common/runtime_random.h"

TEST(RuntimeRandom, FollowsTheRuntimeSequence)
{
    // First draws of the runtime's generator for seeds 1 and 0.
    RuntimeRandom random;
    SeedRuntimeRandom(random, 1);
    const int expectedSeed1[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expectedSeed1) EXPECT_EQ(DrawRuntimeRandom(random), value);
    SeedRuntimeRandom(random, 0);
    EXPECT_EQ(DrawRuntimeRandom(random), 38);
    EXPECT_EQ(DrawRuntimeRandom(random), 7719);
}

TEST(RuntimeRandom, StateWrapsAndValuesStayIn15Bits)
{
    RuntimeRandom random;
    SeedRuntimeRandom(random, 0xFFFFFFFFu);
    // state = 0xFFFFFFFF * 214013 + 2531011 mod 2^32 = 2316998 -> bits 16..30.
    EXPECT_EQ(DrawRuntimeRandom(random), static_cast<int>((2316998u >> 16) & 0x7FFF));
    for (int i = 0; i < 100000; ++i) {
        const int v = DrawRuntimeRandom(random);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

TEST(RuntimeRandom, TwoGeneratorsAreIndependent)
{
    RuntimeRandom a, b;
    SeedRuntimeRandom(a, 1234);
    SeedRuntimeRandom(b, 1234);
    DrawRuntimeRandom(a);
    RuntimeRandom other;
    SeedRuntimeRandom(other, 99);
    DrawRuntimeRandom(other);
    EXPECT_EQ(DrawRuntimeRandom(a), (DrawRuntimeRandom(b), DrawRuntimeRandom(b)));
}
