// What the fuzz targets share: a check that stops the run with a message, and
// the ways the targets read numbers from an input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property is a finding like a sanitizer report: libFuzzer keeps the
// input as a crash file.
#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)

// The window sizes the life and wipe targets use.
constexpr int kFuzzLargestSide = 400;

// A settings value as a hand-edited file may hold it: mostly the small
// numbers the dialogs write, often the edges of 32-bit arithmetic, sometimes
// any 32-bit value.
inline std::int32_t ConsumeSettingValue(FuzzedDataProvider& input)
{
    static const std::int32_t kEdges[] = {
        INT32_MIN, INT32_MIN + 1, -2147483647 / 2, -100001, -100000, -65536, -65535, -32768, -256, -255, -129, -128,
        -2, -1, 0, 1, 2, 3, 127, 128, 129, 254, 255, 256, 65535, 65536, 100000, 100001, 1073741824, INT32_MAX - 1, INT32_MAX,
    };
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        return kEdges[input.ConsumeIntegralInRange<std::size_t>(0, sizeof kEdges / sizeof kEdges[0] - 1)];
    case 1:
        return input.ConsumeIntegral<std::int32_t>();
    default:
        return input.ConsumeIntegralInRange<std::int32_t>(-20, 400);
    }
}

// A window side 0..400.
inline int ConsumeSide(FuzzedDataProvider& input) { return input.ConsumeIntegralInRange<int>(0, kFuzzLargestSide); }
