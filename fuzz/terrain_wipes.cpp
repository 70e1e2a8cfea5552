// Every wipe on a picture with no black pixel, on any frame of 0..400 pixels
// each way: PlayWipe with any 32-bit wipe number (outside 0..14 it draws one
// at random), any seed and any delay factor the renderer takes (0..1000); or a
// wipe called through the table with no memory for a position list of more
// than a given number of entries (and never less than 1024), so the list
// cannot be had. Each must end as designed (tests/effect/
// wipe_harness.h says how: black, or the few pixels the design leaves), with
// the origin back where it was and no negative pause.
#include "fuzz_support.h"
#include "tests/effect/wipe_harness.h"
#include "tests/support/allocation_control.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int w = ConsumeSide(input);
    const int h = ConsumeSide(input);
    const std::uint32_t seed = input.ConsumeIntegral<std::uint32_t>();
    const std::int32_t number = ConsumeSettingValue(input);
    const int delayFactor = input.ConsumeIntegralInRange<int>(0, 1000);
    const bool limited = input.ConsumeIntegralInRange<int>(0, 3) == 0;
    const std::size_t listLimit = input.ConsumeIntegralInRange<std::size_t>(0, static_cast<std::size_t>(w + 1) * static_cast<std::size_t>(h + 1));

    SoftwareSurface surface(w, h);
    FillWithPattern(surface);
    RuntimeRandom random;
    SeedRuntimeRandom(random, seed);
    RecordedPauses pauses;
    int played;
    bool randomChoice = false;
    if (limited) {
        played = static_cast<int>(static_cast<std::uint32_t>(number) % kWipeCount);
        WipeContext wipe{surface, random, pauses, w, h, delayFactor, kWipeUnit};
        // The floor keeps the surface's own small allocations (a polygon's
        // points and crossings) out of the failure.
        const FailingAllocations failing = FailingAllocations::From((listLimit < 1024 ? 1024 : listLimit + 1) * sizeof(int));
        kWipeTable[played].operation(wipe);
    } else {
        played = PlayWipe(surface, random, pauses, w, h, number, delayFactor);
        randomChoice = number < 0 || number >= kWipeCount;
    }

    RuntimeRandom probe;
    SeedRuntimeRandom(probe, seed);
    if (randomChoice) FUZZ_CHECK(played == DrawRuntimeRandom(probe) % kWipeCount);
    else FUZZ_CHECK(played == (limited ? played : number));
    FUZZ_CHECK(surface.originX == 0 && surface.originY == 0);
    for (int pause : pauses.pauses) FUZZ_CHECK(pause >= 0);

    if (WipeEndsBlack(played, w, h)) {
        for (std::uint32_t pixel : surface.pixels) FUZZ_CHECK(pixel == 0);
    } else if (played == 9) {
        FUZZ_CHECK(SpiralLeavesOnlyEdgePixels(surface));
    } else if (played == 11) {
        // The diagonal's coin is its first draw, after the random choice.
        const bool rightward = (DrawRuntimeRandom(probe) & 1) != 0;
        FUZZ_CHECK(DiagonalLeavesOnlyTheTopLeftStep(surface, rightward));
    }
    return 0;
}
