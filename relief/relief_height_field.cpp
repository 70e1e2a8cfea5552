// The desktop picture's brightness as a height field, and its softening.
#include <algorithm>
#include <array>

#include "relief_state.h"

void BuildHeightField(ReliefState& state, const std::uint8_t* picture, std::size_t pictureSize, std::int32_t invert)
{
    const std::size_t field = static_cast<std::size_t>(state.width) * state.height;
    const int size = state.lens.lensSize;
    state.frameTables = ReliefFrameTables(); // they were made from the old field
    state.heights.assign(field, 0);
    if (size == 0) return; // every height of a field under 2 lines is 0

    // A pixel's height depends only on the sum of its three bytes (0..765):
    // each of the 766 values worked out once, in double precision and
    // truncated toward zero, exactly as for every pixel.
    const double scale = 765.0 / size;
    std::array<std::uint16_t, 766> heightOfSum{};
    for (int sum = 0; sum <= 765; ++sum) {
        const double value = invert != 0 ? sum / scale : size - sum / scale;
        heightOfSum[static_cast<std::size_t>(sum)] = static_cast<std::uint16_t>(static_cast<int>(value));
    }

    // Bytes beyond a short picture are black.
    const std::size_t available = picture != nullptr ? pictureSize : 0;
    const std::size_t whole = std::min(field, available / 3);
    std::uint16_t* heights = state.heights.data();
    for (std::size_t i = 0; i < whole; ++i) {
        const std::uint8_t* pixel = picture + i * 3;
        heights[i] = heightOfSum[static_cast<std::size_t>(pixel[0] + pixel[1] + pixel[2])];
    }
    if (whole < field) {
        int partial = 0;
        for (std::size_t at = whole * 3; at < available && at < whole * 3 + 3; ++at) partial += picture[at];
        heights[whole] = heightOfSum[static_cast<std::size_t>(partial)];
        std::fill(heights + whole + 1, heights + field, heightOfSum[0]);
    }
}

namespace {

// One pass over the field in place: each new row is worked out from copies of
// the old rows below it and of itself, kept in `rows` (two rows), so the pass
// needs no second field. The five-point sum of heights up to 13107 fits 16
// bits, and summing in 16 bits lets the compiler take eight columns at once.
template <typename Sum>
bool SoftenPassInPlace(ReliefState& state, std::vector<std::uint16_t>& rows)
{
    const std::size_t width = state.width;
    const std::size_t height = state.height;
    std::uint16_t* h = state.heights.data();
    unsigned changed = 0;
    if (width < 3 || height < 3) {
        for (std::size_t i = 0; i < width * height; ++i) changed |= h[i];
        std::fill(h, h + width * height, std::uint16_t{0});
        return changed != 0;
    }
    rows.resize(2 * width);
    std::uint16_t* below = rows.data();         // the old row y - 1
    std::uint16_t* current = rows.data() + width; // the old row y
    // The outermost rows and columns become 0.
    std::copy(h, h + width, below);
    for (std::size_t x = 0; x < width; ++x) changed |= h[x];
    std::fill(h, h + width, std::uint16_t{0});
    for (std::size_t y = 1; y + 1 < height; ++y) {
        std::uint16_t* row = h + y * width;
        const std::uint16_t* above = row + width; // not yet softened
        std::copy(row, row + width, current);
        changed |= current[0] | current[width - 1];
        row[0] = 0;
        row[width - 1] = 0;
        for (std::size_t x = 1; x + 1 < width; ++x) {
            const Sum sum = static_cast<Sum>(Sum{current[x]} + below[x] + current[x + 1] + above[x] + current[x - 1]);
            const auto value = static_cast<std::uint16_t>(sum / 5u);
            changed |= static_cast<unsigned>(value != current[x]);
            row[x] = value;
        }
        std::swap(below, current);
    }
    std::uint16_t* top = h + (height - 1) * width;
    for (std::size_t x = 0; x < width; ++x) changed |= top[x];
    std::fill(top, top + width, std::uint16_t{0});
    return changed != 0;
}

bool SoftenPass(ReliefState& state, std::vector<std::uint16_t>& rows, bool sumsFit16Bits)
{
    state.frameTables = ReliefFrameTables(); // they were made from the old field
    return sumsFit16Bits ? SoftenPassInPlace<std::uint16_t>(state, rows) : SoftenPassInPlace<std::uint32_t>(state, rows);
}

bool SumsFit16Bits(const std::vector<std::uint16_t>& heights)
{
    std::uint16_t highest = 0;
    for (std::uint16_t h : heights) highest = std::max(highest, h);
    return highest <= 65535 / 5;
}

} // namespace

bool SoftenHeightField(ReliefState& state)
{
    std::vector<std::uint16_t> rows;
    return SoftenPass(state, rows, SumsFit16Bits(state.heights));
}

void SoftenHeightFieldPasses(ReliefState& state, std::int32_t soften)
{
    const std::int32_t passes = std::min(soften, kMaxSoftenPasses);
    if (passes <= 0) return;
    // An average never exceeds the highest of its values, so what holds for
    // the first pass holds for every later one.
    const bool sumsFit16Bits = SumsFit16Bits(state.heights);
    std::vector<std::uint16_t> rows;
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        // Once a pass changes nothing, every later pass would change nothing.
        if (!SoftenPass(state, rows, sumsFit16Bits)) break;
    }
}
