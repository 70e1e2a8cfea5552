// The pixels of one lens square: the height field under the lens, shown as an
// embossed relief lit from the centre of the light.
#include <algorithm>
#include <array>
#include <cstring>

#include "relief_state.h"

namespace {

// Gradient step plus offset, as a 16-bit signed value, kept inside 0..S-1.
inline int ClampToLens(int value, int size)
{
    const int wrapped = static_cast<std::int16_t>(value);
    if (wrapped < 0) return 0;
    if (wrapped >= size) return size - 1;
    return wrapped;
}

} // namespace

void ComputeReliefFramePixels(ReliefState& state, ReliefPathPosition position)
{
    const int size = state.lens.lensSize;
    const int n = state.colorCount;
    const std::size_t square = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    if (size == 0 || state.lens.lensMap.size() != square || state.colors.size() != static_cast<std::size_t>(n) || n < 2) return;
    state.lensPixels.resize(square * 3);

    const int width = state.width;
    const int height = state.height;
    const std::uint8_t* map = state.lens.lensMap.data();
    const std::uint16_t* heights = state.heights.data();

    // Index from a light-map look-up: v itself inside the light, 1 in the ring.
    std::array<std::uint8_t, 256> lookupIndex{};
    // Cap for ring pixels (m >= N): m - N, so the ring fades out at the rim.
    std::array<std::uint8_t, 256> ringCap{};
    for (int v = 0; v < 256; ++v) {
        lookupIndex[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v < n ? v : 1);
        ringCap[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v >= n ? v - n : 255);
    }
    std::array<std::array<std::uint8_t, 3>, 256> bgr{};
    for (int o = 0; o < n; ++o) {
        const std::uint32_t c = state.colors[static_cast<std::size_t>(o)];
        bgr[static_cast<std::size_t>(o)] = {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)};
    }

    for (int r = 0; r < size; ++r) {
        const std::uint8_t* mapRow = map + static_cast<std::size_t>(r) * static_cast<std::size_t>(size);
        std::uint8_t* out = state.lensPixels.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(size) * 3;
        const int y = position.py + r;
        const bool rowInside = y >= 0 && y + 1 < height;
        const std::uint16_t* row = rowInside ? heights + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) : nullptr;
        for (int k = 0; k < size; ++k, out += 3) {
            const int m = mapRow[k];
            int o = 0;
            if (m != 0) {
                const int x = position.px + k;
                int gx, gy;
                if (rowInside && x >= 0 && x + 1 < width) {
                    const int h = row[x];
                    gx = row[x + 1] - h + k;
                    gy = row[x + width] - h + r;
                } else {
                    // At the field's edge (windows under 12 lines, or narrower
                    // than half their height) the ground outside is flat: a
                    // missing neighbour takes the pixel's own height, and a
                    // pixel outside the field has no gradient at all.
                    const bool inside = x >= 0 && x < width && y >= 0 && y < height;
                    const auto at = [&](int hx, int hy) {
                        return static_cast<int>(heights[static_cast<std::size_t>(hy) * static_cast<std::size_t>(width) + static_cast<std::size_t>(hx)]);
                    };
                    const int h = inside ? at(x, y) : 0;
                    const int right = inside && x + 1 < width ? at(x + 1, y) : h;
                    const int up = inside && y + 1 < height ? at(x, y + 1) : h;
                    gx = right - h + k;
                    gy = up - h + r;
                }
                gx = ClampToLens(gx, size);
                gy = ClampToLens(gy, size);
                const int v = map[static_cast<std::size_t>(gy) * static_cast<std::size_t>(size) + static_cast<std::size_t>(gx)];
                o = std::min(lookupIndex[static_cast<std::size_t>(v)], ringCap[static_cast<std::size_t>(m)]);
            }
            std::memcpy(out, bgr[static_cast<std::size_t>(o)].data(), 3);
        }
    }
}
