// The pixels of one lens square: the height field under the lens, shown as an
// embossed relief lit from the centre of the light.
//
// Every pixel follows one rule (m = lens-map entry under the pixel, h = field):
//   gx = clamp(int16(h(x+1, y) - h(x, y) + k)), gy = clamp(int16(h(x, y+1) - h(x, y) + r)),
//   v = lensMap[gy * S + gx], o = (v < N ? v : 1), capped at m - N in the ring,
//   and 0 outside the disc (m = 0).
// Most pixels of a desktop lie on gentle ground, where both steps are small
// and no clamp can apply; there the frame tables (BuildReliefFrameTables)
// turn the rule into o = min(lightIndex[under + step], indexCap[under]), three
// look-ups and no branch. Steep pixels, rows near the square's edges and
// states without tables take the rule as written.
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

// A pixel from a packed colour: its three bytes, straight from the register
// (a 3-byte copy would go through memory), or all four where a pixel is 4
// bytes (the fourth 0).
template <int kPixelBytes>
inline void StoreColour(std::uint8_t* out, std::uint32_t colour)
{
    if (kPixelBytes == 4) {
        std::memcpy(out, &colour, 4);
    } else {
        out[0] = static_cast<std::uint8_t>(colour);
        out[1] = static_cast<std::uint8_t>(colour >> 8);
        out[2] = static_cast<std::uint8_t>(colour >> 16);
    }
}

// Where pixel k of a row starts.
template <int kPixelBytes>
inline std::uint8_t* PixelAt(std::uint8_t* row, int k)
{
    return row + static_cast<std::size_t>(k) * kPixelBytes;
}

// The index rule's two halves as tables over a byte of the lens map.
struct IndexRule {
    // Index from a light-map look-up v: v itself inside the light, 1 in the
    // ring, 0 outside the disc.
    std::array<std::uint8_t, 256> lookupIndex{};
    // Cap on the index of a pixel with map entry m: 0 outside the disc (m = 0,
    // whatever the look-up found), none (255) inside the light, m - N in the
    // ring, so the ring fades out at the rim.
    std::array<std::uint8_t, 256> indexCap{};

    explicit IndexRule(int n)
    {
        for (int v = 0; v < 256; ++v) {
            lookupIndex[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v < n ? v : 1);
            indexCap[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v == 0 ? 0 : v < n ? 255 : v - n);
        }
    }

    int Index(int m, int v) const { return std::min(lookupIndex[static_cast<std::size_t>(v)], indexCap[static_cast<std::size_t>(m)]); }
};

// The ramp's colours as their blue, green and red bytes in one 32-bit value
// each (the fourth byte 0), so a pixel is one 4-byte store; and a run of
// colour 0, for the square outside the disc.
struct FrameColours {
    std::array<std::uint32_t, 256> packed{};
    static constexpr int kRunPixels = 16;
    std::uint8_t backgroundRun[kRunPixels * 4];

    FrameColours(const std::vector<std::uint32_t>& colors, int n, int pixelBytes)
    {
        for (int o = 0; o < n; ++o) {
            const std::uint32_t c = colors[static_cast<std::size_t>(o)]; // 0x00BBGGRR
            const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c), 0};
            std::memcpy(&packed[static_cast<std::size_t>(o)], bytes, 4);
        }
        for (int i = 0; i < kRunPixels; ++i) std::memcpy(backgroundRun + i * pixelBytes, &packed[0], static_cast<std::size_t>(pixelBytes));
    }

    // Writes count pixels of colour 0, sixteen at a time (fixed-size copies the
    // compiler turns into plain stores).
    template <int kPixelBytes>
    void FillBackground(std::uint8_t* out, int count) const
    {
        constexpr std::size_t kRunBytes = kRunPixels * kPixelBytes;
        for (; count >= kRunPixels; count -= kRunPixels, out += kRunBytes) std::memcpy(out, backgroundRun, kRunBytes);
        std::memcpy(out, backgroundRun, static_cast<std::size_t>(count) * kPixelBytes);
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

// One frame's inputs, gathered once.
struct FrameInputs {
    const IndexRule rule;
    const FrameColours colours;
    int size;
    int width;
    int height;
    const std::uint8_t* map;
    const std::uint16_t* heights;

    explicit FrameInputs(const ReliefState& s)
        : rule(s.colorCount), colours(s.colors, s.colorCount, s.lensPixelBytes), size(s.lens.lensSize), width(s.width), height(s.height),
          map(s.lens.lensMap.data()), heights(s.heights.data())
    {
    }

    int LookUp(int gx, int gy) const { return map[static_cast<std::size_t>(gy) * static_cast<std::size_t>(size) + static_cast<std::size_t>(gx)]; }
};

// The frame tables when they were made for this state's sizes and count.
ReliefFrameTables* UsableFrameTables(ReliefState& state)
{
    ReliefFrameTables& t = state.frameTables;
    const std::size_t square = static_cast<std::size_t>(state.lens.lensSize) * state.lens.lensSize;
    if (t.width != state.width || t.height != state.height || t.lensSize != state.lens.lensSize || t.colorCount != state.colorCount) return nullptr;
    if (t.rows.size() != state.height || t.lightIndex.size() != square || t.indexCap.size() != square) return nullptr;
    return &t;
}

// Builds the steps of field row y (0 <= y < height - 1) from the heights.
void BuildStepRow(const ReliefState& state, ReliefFrameTables& t, std::size_t y)
{
    const int size = state.lens.lensSize;
    const std::size_t width = state.width;
    const int reach = t.reach;
    const unsigned twoReach = static_cast<unsigned>(2 * reach);
    ReliefStepRow& stepRow = t.rows[y];
    stepRow.steps.assign(width, 0);
    stepRow.steep.clear();
    const std::uint16_t* row = state.heights.data() + y * width;
    const std::uint16_t* above = row + width;
    std::int16_t* steps = stepRow.steps.data();
    // First the steps and a byte per column, 1 where it is steep, in one pass
    // of plain arithmetic (which the compiler can do several columns at a
    // time); then the steep columns, skipping eight gentle ones at once.
    std::vector<std::uint8_t> steep(width + 8, 0);
    for (std::size_t x = 0; x + 1 < width; ++x) {
        const int dx = row[x + 1] - row[x];
        const int dy = above[x] - row[x];
        // | rather than ||: both tests always, and no branch.
        const unsigned isSteep = static_cast<unsigned>(static_cast<unsigned>(dx + reach) > twoReach) |
                                 static_cast<unsigned>(static_cast<unsigned>(dy + reach) > twoReach);
        steps[x] = static_cast<std::int16_t>(isSteep != 0 ? 0 : dy * size + dx);
        steep[x] = static_cast<std::uint8_t>(isSteep);
    }
    stepRow.steepFromBlock.assign(width / 64 + 1, 0);
    for (std::size_t x = 0; x < width; x += 8) {
        if (x % 64 == 0) stepRow.steepFromBlock[x / 64] = static_cast<std::uint32_t>(stepRow.steep.size());
        std::uint64_t word;
        std::memcpy(&word, &steep[x], 8);
        if (word == 0) continue;
        for (std::size_t i = x; i < x + 8 && i < width; ++i) {
            if (steep[i] != 0) {
                stepRow.steep.push_back({static_cast<std::uint16_t>(i), static_cast<std::int16_t>(row[i + 1] - row[i]), static_cast<std::int16_t>(above[i] - row[i])});
            }
        }
    }
}

// Builds the rows this frame's lit spans can take through the steps, where
// they are missing, as many as one frame's share allows.
void BuildNeededStepRows(const ReliefState& state, ReliefFrameTables& t, ReliefPathPosition position)
{
    const int size = state.lens.lensSize;
    int budget = kStepPixelsBuiltPerFrame;
    const int lastRow = std::min(size - t.reach - 1, state.height - 2 - position.py);
    for (int r = std::max(t.reach, -position.py); r <= lastRow && budget > 0; ++r) {
        const std::size_t y = static_cast<std::size_t>(position.py + r);
        if (!t.rows[y].steps.empty()) continue;
        BuildStepRow(state, t, y);
        budget -= state.width;
    }
}

// The index of lens pixel (r, k) by the rule as written, where its field pixel
// and that one's next-column and next-row neighbours lie inside the field; h
// points at the height under column 0 of the row. Everything it reads comes
// as a plain value or pointer, so the stores around it need not make the
// compiler read them again.
inline int InsideIndex(const std::uint8_t* lookupIndex, const std::uint8_t* indexCap, const std::uint8_t* map, int size,
                       const std::uint16_t* h, std::size_t width, int r, int k, int m)
{
    const int here = h[k];
    const int gx = ClampToLens(h[k + 1] - here + k, size);
    const int gy = ClampToLens(h[static_cast<std::size_t>(k) + width] - here + r, size);
    const int v = map[static_cast<std::size_t>(gy) * static_cast<std::size_t>(size) + static_cast<std::size_t>(gx)];
    return std::min(lookupIndex[v], indexCap[m]);
}

// Stores a pixel as 4 bytes, for 3-byte pixels the fourth belonging to the
// next pixel, which is written after it; or as 3 where nothing of the row
// follows.
template <int kPixelBytes>
inline void StoreColour(std::uint8_t* out, std::uint32_t colour, bool followed)
{
    if (kPixelBytes == 4 || followed) {
        std::memcpy(out, &colour, 4);
    } else {
        StoreColour<3>(out, colour);
    }
}

// Lens pixels first..last of row r by the rule as written, their field pixels
// and next-column and next-row neighbours inside the field; h points at the
// height under column 0 of the row.
template <int kPixelBytes>
void ComputeInsideSpan(const FrameInputs& in, const std::uint16_t* h, int r, int first, int last, std::uint8_t* outRow)
{
    const std::uint8_t* lookupIndex = in.rule.lookupIndex.data();
    const std::uint8_t* indexCap = in.rule.indexCap.data();
    const std::uint32_t* packed = in.colours.packed.data();
    const std::uint8_t* map = in.map;
    const int size = in.size;
    const std::size_t width = static_cast<std::size_t>(in.width);
    const std::uint8_t* mapRow = map + static_cast<std::size_t>(r) * static_cast<std::size_t>(size);
    const bool lastFollowed = last + 1 < size;
    for (int k = first; k <= last; ++k) {
        const int m = mapRow[k];
        const std::uint32_t colour = m == 0 ? packed[0] : packed[InsideIndex(lookupIndex, indexCap, map, size, h, width, r, k, m)];
        StoreColour<kPixelBytes>(PixelAt<kPixelBytes>(outRow, k), colour, k < last || lastFollowed);
    }
}

// Lens row r over field row y, lit span first..last, where every pixel of
// the span and its neighbours lie inside the field, the span keeps the
// tables' reach clear of the square's edges and ends before the row does.
// Every pixel of the span goes through the tables first (a steep pixel's step
// is 0 there), in one loop without a branch; then the row's steep pixels in
// the span are drawn again by the rule as written, from the differences kept
// with them (the heights are not read: a frame touches only its own tables).
template <int kPixelBytes>
void ComputeGentleSpan(const FrameInputs& in, const ReliefFrameTables& tables, const ReliefStepRow& stepRow, ReliefPathPosition position, int r,
                       int first, int last, std::uint8_t* outRow)
{
    const int size = in.size;
    const std::size_t rowStart = static_cast<std::size_t>(r) * static_cast<std::size_t>(size);
    const std::int16_t* steps = stepRow.steps.data() + position.px;
    const std::uint8_t* lightMap = tables.lightIndex.data();
    const std::uint8_t* light = lightMap + rowStart;
    const std::uint8_t* cap = tables.indexCap.data() + rowStart;
    const std::uint32_t* packed = in.colours.packed.data();
    for (int k = first; k <= last; ++k) {
        const std::uint32_t colour = packed[std::min(light[k + steps[k]], cap[k])];
        std::memcpy(PixelAt<kPixelBytes>(outRow, k), &colour, 4);
    }
    const int firstColumn = position.px + first;
    const int lastColumn = position.px + last;
    const ReliefSteepPixel* steep = stepRow.steep.data() + stepRow.steepFromBlock[static_cast<std::size_t>(firstColumn) / 64];
    const ReliefSteepPixel* steepEnd = stepRow.steep.data() + stepRow.steep.size();
    for (; steep != steepEnd && steep->column <= lastColumn; ++steep) {
        if (steep->column < firstColumn) continue;
        const int k = steep->column - position.px;
        const int gx = ClampToLens(steep->dx + k, size);
        const int gy = ClampToLens(steep->dy + r, size);
        const std::uint8_t found = lightMap[static_cast<std::size_t>(gy) * static_cast<std::size_t>(size) + static_cast<std::size_t>(gx)];
        // Three bytes of 3-byte pixels: the next pixel is drawn already.
        StoreColour<kPixelBytes>(PixelAt<kPixelBytes>(outRow, k), packed[std::min(found, cap[k])]);
    }
}

// The lens square's rows for pixels of kPixelBytes bytes.
template <int kPixelBytes>
void ComputeFramePixels(ReliefState& state, ReliefPathPosition position, ReliefFrameTables* tables, bool drawBackground)
{
    const int size = state.lens.lensSize;
    const FrameInputs in(state);
    const int width = in.width;
    const int height = in.height;
    const std::size_t rowBytes = static_cast<std::size_t>(size) * kPixelBytes;

    for (int r = 0; r < size; ++r) {
        const std::uint8_t* mapRow = in.map + static_cast<std::size_t>(r) * static_cast<std::size_t>(size);
        std::uint8_t* outRow = state.lensPixels.data() + static_cast<std::size_t>(r) * rowBytes;
        // The row's lit span; every pixel outside it is colour 0.
        const int first = FirstNonZero(mapRow, size);
        if (first == size) {
            if (drawBackground) in.colours.FillBackground<kPixelBytes>(outRow, size);
            continue;
        }
        const int last = LastNonZero(mapRow, size);
        if (drawBackground) in.colours.FillBackground<kPixelBytes>(outRow, first);

        const int y = position.py + r;
        const bool inside = y >= 0 && y + 1 < height && position.px + first >= 0 && position.px + last + 1 < width;
        if (inside && tables != nullptr && r >= tables->reach && r + tables->reach < size && first >= tables->reach &&
            last + tables->reach < size && last + 1 < size) {
            const ReliefStepRow& stepRow = tables->rows[static_cast<std::size_t>(y)];
            if (!stepRow.steps.empty()) {
                ComputeGentleSpan<kPixelBytes>(in, *tables, stepRow, position, r, first, last, outRow);
            } else {
                ComputeInsideSpan<kPixelBytes>(in, in.heights + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + position.px, r, first, last, outRow);
            }
        } else if (inside) {
            ComputeInsideSpan<kPixelBytes>(in, in.heights + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + position.px, r, first, last, outRow);
        } else {
            // At the field's edge (windows under 12 lines, or narrower than half
            // their height) the ground outside is flat: a missing neighbour
            // takes the pixel's own height, and a pixel outside the field has
            // no gradient at all.
            const auto at = [&](int hx, int hy) {
                return static_cast<int>(in.heights[static_cast<std::size_t>(hy) * static_cast<std::size_t>(width) + static_cast<std::size_t>(hx)]);
            };
            for (int k = first; k <= last; ++k) {
                const int m = mapRow[k];
                std::uint32_t colour = in.colours.packed[0];
                if (m != 0) {
                    const int x = position.px + k;
                    const bool field = x >= 0 && x < width && y >= 0 && y < height;
                    const int here = field ? at(x, y) : 0;
                    const int right = field && x + 1 < width ? at(x + 1, y) : here;
                    const int up = field && y + 1 < height ? at(x, y + 1) : here;
                    const int v = in.LookUp(ClampToLens(right - here + k, size), ClampToLens(up - here + r, size));
                    colour = in.colours.packed[static_cast<std::size_t>(in.rule.Index(m, v))];
                }
                StoreColour<kPixelBytes>(PixelAt<kPixelBytes>(outRow, k), colour);
            }
        }
        // Written after the span, whose last 4-byte store reaches into its
        // first pixel.
        if (drawBackground) in.colours.FillBackground<kPixelBytes>(PixelAt<kPixelBytes>(outRow, last + 1), size - last - 1);
        else if (kPixelBytes == 3 && last + 1 < size) StoreColour<3>(PixelAt<3>(outRow, last + 1), in.colours.packed[0]);
    }
}

} // namespace

void ComputeReliefFramePixels(ReliefState& state, ReliefPathPosition position)
{
    const int size = state.lens.lensSize;
    const int n = state.colorCount;
    const std::size_t square = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    if (size == 0 || state.lens.lensMap.size() != square || state.colors.size() != static_cast<std::size_t>(n) || n < 2) return;
    if (state.lensPixelBytes != 4) state.lensPixelBytes = 3;
    const std::size_t pixelBytes = state.lensPixelBytes;
    if (state.lensPixels.size() != square * pixelBytes) {
        state.lensPixels.resize(square * pixelBytes);
        state.lensBackgroundDrawn = false;
    }
    const bool drawBackground = !state.lensBackgroundDrawn;

    ReliefFrameTables* tables = UsableFrameTables(state);
    if (tables != nullptr) BuildNeededStepRows(state, *tables, position);
    if (pixelBytes == 4) {
        ComputeFramePixels<4>(state, position, tables, drawBackground);
    } else {
        ComputeFramePixels<3>(state, position, tables, drawBackground);
    }
    state.lensBackgroundDrawn = true;
}


void BuildReliefFrameTables(ReliefState& state)
{
    ReliefFrameTables& t = state.frameTables;
    t = ReliefFrameTables();
    const int size = state.lens.lensSize;
    const int width = state.width;
    const int height = state.height;
    const std::size_t square = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    const std::size_t field = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (size == 0 || width < 2 || height < 2 || state.lens.lensMap.size() != square || state.heights.size() != field || state.colorCount < 2) return;

    const IndexRule rule(state.colorCount);
    t.lightIndex.resize(square);
    t.indexCap.resize(square);
    const std::uint8_t* map = state.lens.lensMap.data();
    std::uint8_t* light = t.lightIndex.data();
    std::uint8_t* cap = t.indexCap.data();
    for (std::size_t i = 0; i < square; ++i) {
        light[i] = rule.lookupIndex[map[i]];
        cap[i] = rule.indexCap[map[i]];
    }

    // |dy * S + dx| <= reach * (S + 1) <= 32767.
    t.reach = std::min(32767 / (size + 1), size / 10);
    t.rows.assign(static_cast<std::size_t>(height), ReliefStepRow());
    t.width = state.width;
    t.height = state.height;
    t.lensSize = state.lens.lensSize;
    t.colorCount = state.colorCount;
}

void BuildReliefStepRows(ReliefState& state)
{
    ReliefFrameTables* tables = UsableFrameTables(state);
    if (tables == nullptr) return;
    for (std::size_t y = 0; y + 1 < tables->rows.size(); ++y) {
        if (tables->rows[y].steps.empty()) BuildStepRow(state, *tables, y);
    }
}
