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

// A pixel whose gradient is too steep for the steps: its column and its
// next-column and next-row height differences as 16-bit values (what the
// rule adds to the lens column and row before the 16-bit wraparound), so a
// frame need not read the heights again.
struct ReliefSteepPixel {
    std::uint16_t column;
    std::int16_t dx;
    std::int16_t dy;
};

// The steps of one field row y (see ReliefFrameTables).
struct ReliefStepRow {
    // Per column x: dy * S + dx, the step from the lens-map entry under the
    // pixel to the one its gradient looks up, where both the next-column step
    // dx and the next-row step dy lie in -reach..reach; 0 where they do not.
    // Empty until the row is built.
    std::vector<std::int16_t> steps;
    // Those other pixels ("steep"), in increasing column order. The last
    // column, whose next-column neighbour lies outside, is never drawn
    // through the steps and is not listed.
    std::vector<ReliefSteepPixel> steep;
    // Per 64 columns: the first steep pixel at or after the block's first
    // column (steep.size() where there is none).
    std::vector<std::uint32_t> steepFromBlock;
};

// What a frame reads besides the records' own tables, so that a lens pixel on
// gentle ground costs three look-ups and no branch: its gradient's step
// through the lens map, the light index found there and the colour. Made
// from the height field, the lens map (a function of S and N alone) and the
// colour count as they stood when BuildReliefFrameTables ran; a frame uses
// them only while the sizes and the count still agree, and the procedures
// that change heights clear them. The rows' steps are built by the frames
// that first need them, a bounded number per frame, so that creation does
// not pay for the whole field at once; until a row is built, frames take it
// by the rule as written.
struct ReliefFrameTables {
    // One per field row; the last row (whose next-row neighbours lie outside)
    // is never built.
    std::vector<ReliefStepRow> rows;
    // At most 0.1 S, so that a lens row whose lit span keeps `reach` clear of
    // the square's edges never needs the edge clamp, and small enough that
    // every step fits 16 bits.
    int reach = 0;
    // Per lens-map entry: the colour index a look-up landing there gives
    // (v itself inside the light, 1 in the ring, 0 outside the disc)...
    std::vector<std::uint8_t> lightIndex;
    // ...and the cap on the index of the pixel at that entry (0 outside the
    // disc, 255 (none) inside the light, m - N in the ring).
    std::vector<std::uint8_t> indexCap;
    // What the tables were made for.
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t lensSize = 0;
    std::uint8_t colorCount = 0;
};

// How many field pixels' steps one frame builds at most.
constexpr int kStepPixelsBuiltPerFrame = 1 << 17;

struct ReliefState {
    // The palette ramp as 0x00BBGGRR colour values (red in the low byte).
    std::vector<std::uint32_t> colors;
    std::int32_t usePalette = 0;
    // The lens square's pixels: blue, green, red, and where lensPixelBytes
    // is 4 a fourth byte 0 (the layout a true-colour display of 32 bits a
    // pixel takes without converting); rows bottom-up.
    std::vector<std::uint8_t> lensPixels;
    std::uint8_t lensPixelBytes = 3;
    // The square outside the disc is the ramp's first colour in every frame:
    // once a frame has drawn it, later frames draw only the disc.
    bool lensBackgroundDrawn = false;
    std::uint8_t colorCount = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // width x height values, row 0 being the bottom screen line.
    std::vector<std::uint16_t> heights;
    ReliefLens lens;
    ReliefFrameTables frameTables;
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

// The colour ramp's one formula, for the saver's palette and the settings
// dialog's preview alike: channel value (255 - X)^(i / L) + (X / L) * i at
// step i of L for base value X, before it is truncated.
double ReliefRampValue(double baseValue, double step, double steps);

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

// Sets up frameTables for heights, lensMap and colorCount (InitRelief calls it
// last): the light indices and caps now, the rows' steps as frames need them
// (BuildReliefStepRows builds them all at once). Frames are the same with or
// without the tables, only slower without.
void BuildReliefFrameTables(ReliefState& state);
void BuildReliefStepRows(ReliefState& state);

// Fills lensPixels for the lens square at (px, py), lensPixelBytes (3, or 4;
// any other value counts as 3) bytes a pixel.
void ComputeReliefFramePixels(ReliefState& state, ReliefPathPosition position);
