// The relief saver's run-time records and the effect procedures over them.
// Everything here is plain numbers and buffers; the Win32 window procedure and
// the headless renderer both drive it through relief_life.h.
#pragma once

#include <cstdint>
#include <vector>

#include "../common/runtime_random.h"
#include "relief_settings.h"

struct ReliefLens {
    std::uint16_t sineCount = 0;
    std::vector<double> sines;
    // Lens mask and light map in one, lensSize x lensSize bytes, row by row:
    // 0 outside the disc, N..2N-1 in the outer ring, 1..N-1 in the inner disc.
    std::vector<std::uint8_t> lensMap;
    std::uint16_t lensSize = 0; // S = height / 2
    std::uint16_t lensHalf = 0; // S / 2
    float phaseX = 0.0f;
    float phaseY = 0.0f;
    float speedX = 0.0f;
    float speedY = 0.0f;
    std::uint16_t centerX = 0;
    std::uint16_t centerY = 0;
};

struct ReliefState {
    // The palette ramp as 0x00BBGGRR colour values (red in the low byte).
    std::vector<std::uint32_t> colors;
    std::int32_t usePalette = 0;
    // The lens square's pixels: blue, green, red; rows bottom-up.
    std::vector<std::uint8_t> lensPixels;
    std::uint8_t colorCount = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // width x height values, row 0 being the bottom screen line.
    std::vector<std::uint16_t> heights;
    ReliefLens lens;
};

// Where a frame puts the lens square: px is the first column and py the first
// row of the height field it covers. Held as plain ints; for every window at
// least half as wide as it is high both lie in 0..65535 and equal the 16-bit
// values of the path. Narrower windows give a negative px (see StepLightPath).
struct ReliefPathPosition {
    int px = 0;
    int py = 0;
};

void ClearReliefState(ReliefState& state);

// --- Palette ramp, lens map, sine table, light path -------------------------

// The ramp's colour count: the low 8 bits of ColorCount, clamped to 2..128.
std::uint8_t ClampColorCount(std::int32_t colorCountSetting);

// Channel value of ramp entry i of L + 1 entries for base value X.
std::uint8_t RampChannel(int baseValue, int entry, int last);

// Base colour (drawn at random when UseColor is 0: red, green, blue, each
// rand() mod 255), colorCount and colors.
void BuildPaletteRamp(ReliefState& state, const ReliefSettings& settings, RuntimeRandom& random);

// Needs lensSize; fills lensMap for N colours, the sine table, lensHalf, and
// draws phaseX, phaseY, speedX, speedY in that order.
void BuildLensMap(ReliefLens& lens, int colorCount, std::int32_t degrees, RuntimeRandom& random);

void BuildSineTable(ReliefLens& lens, std::int32_t degrees);

// Two draws (the jitter of speedX, then of speedY), then the new position.
ReliefPathPosition StepLightPath(ReliefLens& lens, RuntimeRandom& random);

// --- Height field -----------------------------------------------------------

// Heights from a bottom-up BGR picture of width x height pixels; picture may be
// shorter than width x height x 3 bytes, the missing pixels counting as black.
void BuildHeightField(ReliefState& state, const std::uint8_t* picture, std::size_t pictureSize, std::int32_t invert);

// One five-point averaging pass; the outermost rows and columns become 0.
// Returns false when the pass changed nothing.
bool SoftenHeightField(ReliefState& state);

// Runs the passes a Soften setting asks for: none when it is 0 or negative,
// at most kMaxSoftenPasses, and none after a pass that changed nothing.
void SoftenHeightFieldPasses(ReliefState& state, std::int32_t soften);
constexpr std::int32_t kMaxSoftenPasses = 255;

// --- Frame ------------------------------------------------------------------

// Fills lensPixels for the lens square at (px, py).
void ComputeReliefFramePixels(ReliefState& state, ReliefPathPosition position);
