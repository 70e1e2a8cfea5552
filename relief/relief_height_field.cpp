// The desktop picture's brightness as a height field, and its softening.
#include <algorithm>

#include "relief_state.h"

void BuildHeightField(ReliefState& state, const std::uint8_t* picture, std::size_t pictureSize, std::int32_t invert)
{
    const std::size_t width = state.width;
    const std::size_t height = state.height;
    const int size = state.lens.lensSize;
    state.heights.assign(width * height, 0);
    if (size == 0) return; // every height of a field under 2 lines is 0

    const double scale = 765.0 / size;
    std::vector<std::uint16_t> rowSums(width, 0);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t at = (y * width + x) * 3;
            // Bytes beyond a short picture are black.
            int sum = 0;
            for (std::size_t c = 0; c < 3; ++c) {
                if (picture != nullptr && at + c < pictureSize) sum += picture[at + c];
            }
            rowSums[x] = static_cast<std::uint16_t>(sum);
        }
        std::uint16_t* row = state.heights.data() + y * width;
        for (std::size_t x = 0; x < width; ++x) {
            const double value = invert != 0 ? rowSums[x] / scale : size - rowSums[x] / scale;
            row[x] = static_cast<std::uint16_t>(static_cast<int>(value));
        }
    }
}

bool SoftenHeightField(ReliefState& state)
{
    const std::size_t width = state.width;
    const std::size_t height = state.height;
    std::vector<std::uint16_t> softened(width * height, 0);
    if (width >= 3 && height >= 3) {
        const std::uint16_t* h = state.heights.data();
        for (std::size_t y = 1; y + 1 < height; ++y) {
            const std::uint16_t* below = h + (y - 1) * width;
            const std::uint16_t* row = h + y * width;
            const std::uint16_t* above = h + (y + 1) * width;
            std::uint16_t* out = softened.data() + y * width;
            for (std::size_t x = 1; x + 1 < width; ++x) {
                const unsigned sum = unsigned{row[x]} + below[x] + row[x + 1] + above[x] + row[x - 1];
                out[x] = static_cast<std::uint16_t>(sum / 5u);
            }
        }
    }
    const bool changed = softened != state.heights;
    state.heights.swap(softened);
    return changed;
}

void SoftenHeightFieldPasses(ReliefState& state, std::int32_t soften)
{
    const std::int32_t passes = std::min(soften, kMaxSoftenPasses);
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        // Once a pass changes nothing, every later pass would change nothing.
        if (!SoftenHeightField(state)) break;
    }
}
