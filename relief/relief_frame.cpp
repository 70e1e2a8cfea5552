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
    if (static_cast<unsigned>(wrapped) < static_cast<unsigned>(size)) return wrapped;
    return wrapped < 0 ? 0 : size - 1;
}

// The colour tables of one frame, all indexed by bytes of the lens map.
struct FrameColours {
    // Index from a light-map look-up v: v itself inside the light, 1 in the ring.
    std::array<std::uint8_t, 256> lookupIndex{};
    // Cap for ring pixels (m >= N): m - N, so the ring fades out at the rim.
    std::array<std::uint8_t, 256> ringCap{};
    // Colour o as its blue, green and red bytes in one 32-bit value (the fourth
    // byte is 0).
    std::array<std::uint32_t, 256> packed{};

    FrameColours(const std::vector<std::uint32_t>& colors, int n)
    {
        for (int o = 0; o < n; ++o) {
            const std::uint32_t c = colors[static_cast<std::size_t>(o)]; // 0x00BBGGRR
            const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c), 0};
            std::memcpy(&packed[static_cast<std::size_t>(o)], bytes, 4);
        }
        for (int v = 0; v < 256; ++v) {
            lookupIndex[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v < n ? v : 1);
            ringCap[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v >= n ? v - n : 255);
        }
    }

    // Colour of a pixel with map value m whose gradient look-up found v.
    std::uint32_t Colour(int m, int v) const
    {
        return packed[std::min(lookupIndex[static_cast<std::size_t>(v)], ringCap[static_cast<std::size_t>(m)])];
    }
};

// The first non-zero byte of a map row (size when there is none), and the
// last; eight bytes at a time, since half of a square lies outside the disc.
int FirstNonZero(const std::uint8_t* row, int size)
{
    int k = 0;
    for (; k + 8 <= size; k += 8) {
        std::uint64_t word;
        std::memcpy(&word, row + k, 8);
        if (word != 0) break;
    }
    while (k < size && row[k] == 0) ++k;
    return k;
}

int LastNonZero(const std::uint8_t* row, int size)
{
    int k = size;
    for (; k >= 8; k -= 8) {
        std::uint64_t word;
        std::memcpy(&word, row + k - 8, 8);
        if (word != 0) break;
    }
    while (k > 0 && row[k - 1] == 0) --k;
    return k - 1;
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
    const FrameColours colours(state.colors, n);
    const std::size_t rowBytes = static_cast<std::size_t>(size) * 3;
    // A whole row of colour 0, copied in bulk around each row's lit span.
    std::vector<std::uint8_t> background(rowBytes + 1);
    for (int k = 0; k < size; ++k) std::memcpy(&background[static_cast<std::size_t>(k) * 3], &colours.packed[0], 4);
    const auto lookUp = [&](int gx, int gy) {
        return static_cast<int>(map[static_cast<std::size_t>(gy) * static_cast<std::size_t>(size) + static_cast<std::size_t>(gx)]);
    };

    for (int r = 0; r < size; ++r) {
        const std::uint8_t* mapRow = map + static_cast<std::size_t>(r) * static_cast<std::size_t>(size);
        std::uint8_t* outRow = state.lensPixels.data() + static_cast<std::size_t>(r) * rowBytes;
        // The row's lit span; every pixel outside it is colour 0.
        const int first = FirstNonZero(mapRow, size);
        const int last = first == size ? size - 1 : LastNonZero(mapRow, size);
        std::memcpy(outRow, background.data(), static_cast<std::size_t>(first) * 3);

        const int y = position.py + r;
        if (first <= last && y >= 0 && y + 1 < height && position.px + first >= 0 && position.px + last + 1 < width) {
            // The whole span and its next-column and next-row neighbours lie
            // inside the field.
            const std::uint16_t* h = heights + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + (position.px + first);
            std::uint8_t* out = outRow + static_cast<std::size_t>(first) * 3;
            // A 4-byte store is safe while another pixel of the row follows; its
            // fourth byte is overwritten by that pixel.
            const bool wideStores = last + 1 < size;
            for (int k = first; k <= last; ++k, ++h, out += 3) {
                const int m = mapRow[k];
                std::uint32_t colour = colours.packed[0];
                if (m != 0) {
                    const int here = h[0];
                    const int gx = ClampToLens(h[1] - here + k, size);
                    const int gy = ClampToLens(h[width] - here + r, size);
                    colour = colours.Colour(m, lookUp(gx, gy));
                }
                if (wideStores) {
                    std::memcpy(out, &colour, 4);
                } else {
                    std::memcpy(out, &colour, 3);
                }
            }
        } else {
            // At the field's edge (windows under 12 lines, or narrower than half
            // their height) the ground outside is flat: a missing neighbour
            // takes the pixel's own height, and a pixel outside the field has
            // no gradient at all.
            const auto at = [&](int hx, int hy) {
                return static_cast<int>(heights[static_cast<std::size_t>(hy) * static_cast<std::size_t>(width) + static_cast<std::size_t>(hx)]);
            };
            for (int k = first; k <= last; ++k) {
                const int m = mapRow[k];
                std::uint32_t colour = colours.packed[0];
                if (m != 0) {
                    const int x = position.px + k;
                    const bool inside = x >= 0 && x < width && y >= 0 && y < height;
                    const int here = inside ? at(x, y) : 0;
                    const int right = inside && x + 1 < width ? at(x + 1, y) : here;
                    const int up = inside && y + 1 < height ? at(x, y + 1) : here;
                    colour = colours.Colour(m, lookUp(ClampToLens(right - here + k, size), ClampToLens(up - here + r, size)));
                }
                std::memcpy(outRow + k * 3, &colour, 3);
            }
        }
        // Written after the span, whose last 4-byte store reaches into it.
        const int after = std::max(last + 1, first);
        std::memcpy(outRow + after * 3, background.data(), static_cast<std::size_t>(size - after) * 3);
    }
}
