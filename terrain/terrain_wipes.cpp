// PlayWipe, the wipe table, and the eight wipes built from lines, rectangles
// and single pixels. Every size, position and counter is a signed 32-bit
// integer and every division truncates toward zero, as the design states;
// random numbers are drawn in exactly the order written here, because the
// scenes that follow a wipe draw from the same generator.
#include "terrain_wipes.h"

#include <array>
#include <new>
#include <utility>

const WipeTableEntry kWipeTable[kWipeCount] = {
    {"Random lines", WipeRandomLines},
    {"Venetian", WipeVenetian},
    {"Triple wipe", WipeTriple},
    {"Quad wipe", WipeQuad},
    {"Circle wipe", WipeCircle},
    {"Three circle wipe", WipeThreeCircle},
    {"Squarerate", WipeSquarerate},
    {"Fizzle", WipeFizzle},
    {"Random squarres", WipeRandomSquares},
    {"Spiral", WipeSpiral},
    {"Slide lines", WipeSlideLines},
    {"Diagonal", WipeDiagonal},
    {"Circle inner", WipeCircleInner},
    {"Star outer", WipeStarOuter},
    {"Wipebar inner", WipeWipebarInner},
};

int PlayWipe(DrawSurface& surface, RuntimeRandom& random, StepPause& pause, int w, int h, int number, int delayFactor)
{
    // The random choice comes before anything else of the wipe.
    if (number < 0 || number > kWipeCount - 1) number = DrawRuntimeRandom(random) % kWipeCount;
    WipeContext wipe{surface, random, pause, w, h, delayFactor, kWipeUnit};
    kWipeTable[number].operation(wipe);
    return number;
}

bool AllocateWipeList(std::size_t count, std::vector<int>& list)
{
    try {
        list.assign(count, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void BlackenWholeFrame(WipeContext& wipe) { wipe.surface.FillBlackRect(0, 0, wipe.w, wipe.h); }

namespace {

// To blacken line p: row p when the wipe draws rows, column p when it draws columns.
void BlackenLine(WipeContext& wipe, bool rows, int p)
{
    if (rows) wipe.surface.BlackenRow(p);
    else wipe.surface.BlackenColumn(p);
}

// Exchanges each entry with one drawn at random (r mod count), first to last.
void ShuffleWipeList(WipeContext& wipe, std::vector<int>& list)
{
    const int count = static_cast<int>(list.size());
    for (int i = 0; i < count; ++i) std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(DrawWipeRandom(wipe, count))]);
}

// The line-list rule of the triple and quad wipes: values below h are rows
// (from the bottom edge when mirrorY), the others columns g - h (from the
// right edge when mirrorX).
void BlackenListedLine(WipeContext& wipe, int g, bool mirrorX, bool mirrorY)
{
    if (g < wipe.h) wipe.surface.BlackenRow(mirrorY ? wipe.h - 1 - g : g);
    else wipe.surface.BlackenColumn(mirrorX ? wipe.w - 1 - (g - wipe.h) : g - wipe.h);
}

} // namespace

void WipeRandomLines(WipeContext& wipe)
{
    const bool rows = DrawWipeCoin(wipe);
    const int count = rows ? wipe.h : wipe.w;
    std::vector<int> list;
    if (!AllocateWipeList(static_cast<std::size_t>(count), list)) return BlackenWholeFrame(wipe);
    for (int i = 0; i < count; ++i) list[static_cast<std::size_t>(i)] = i;
    ShuffleWipeList(wipe, list);
    for (int i = 0; i < count; ++i) {
        BlackenLine(wipe, rows, list[static_cast<std::size_t>(i)]);
        if (wipe.delayFactor > 0 && i % wipe.unit == 0 && !PauseWipe(wipe, wipe.delayFactor * wipe.unit)) return;
    }
}

void WipeVenetian(WipeContext& wipe)
{
    const bool rows = DrawWipeCoin(wipe);
    const bool mirrored = DrawWipeCoin(wipe);
    const int count = rows ? wipe.h : wipe.w;
    std::vector<int> list;
    if (!AllocateWipeList(static_cast<std::size_t>(count), list)) return BlackenWholeFrame(wipe);
    // Position v = 16q + s comes up at i = 16q + 17s: blocks of 16 lines, each
    // filling its lines 17 steps apart and starting 16 steps after the one before.
    int k = 0;
    for (int i = 0; i < 2 * count; ++i) {
        const int v = 16 * (i / 16) - 15 * (i % 16);
        if (v >= 0 && v < count) list[static_cast<std::size_t>(k++)] = mirrored ? count - 1 - v : v;
    }
    // Below 232 lines some positions never come up within the 2 x count
    // candidates (those with v + 16 (v mod 16) >= 2 x count). They take the
    // slots that would otherwise repeat line 0, in increasing order, so that
    // small frames such as a preview are wiped completely, with the same
    // number of steps and pauses.
    for (int v = 0; v < count && k < count; ++v) {
        if (v + 16 * (v % 16) >= 2 * count) list[static_cast<std::size_t>(k++)] = mirrored ? count - 1 - v : v;
    }
    const int period = wipe.unit / 6;
    for (int i = 0; i < count; ++i) {
        BlackenLine(wipe, rows, list[static_cast<std::size_t>(i)]);
        if (wipe.delayFactor > 0 && i % period == 0 && !PauseWipe(wipe, wipe.delayFactor * period)) return;
    }
}

void WipeTriple(WipeContext& wipe)
{
    const bool mirrorX = DrawWipeCoin(wipe);
    const bool mirrorY = DrawWipeCoin(wipe);
    const int w = wipe.w, h = wipe.h;
    const int hw = w / 2, hh = h / 2, count = w + hh;
    std::vector<int> list;
    if (!AllocateWipeList(static_cast<std::size_t>(count), list)) return BlackenWholeFrame(wipe);
    const int e = w % 2 == 0 ? 1 : 0;
    // Every second column from the left, every second row from the top, the
    // remaining columns from the right; with an odd width the last slot keeps 0.
    for (int k = 0; k < hw; ++k) list[static_cast<std::size_t>(k)] = h + 2 * k;
    for (int k = 0; k < hh; ++k) list[static_cast<std::size_t>(hw + k)] = 2 * k;
    for (int k = 0; k < hw; ++k) list[static_cast<std::size_t>(hw + hh + k)] = h + w - e - 2 * k;
    const int period = wipe.unit / 6;
    for (int i = 0; i < count; ++i) {
        BlackenListedLine(wipe, list[static_cast<std::size_t>(i)], mirrorX, mirrorY);
        if (wipe.delayFactor > 0 && i % period == 0 && !PauseWipe(wipe, wipe.delayFactor * period)) return;
    }
}

void WipeQuad(WipeContext& wipe)
{
    const bool mirrorX = DrawWipeCoin(wipe);
    const bool mirrorY = DrawWipeCoin(wipe);
    const int w = wipe.w, h = wipe.h;
    const int count = w + h;
    std::vector<int> list;
    if (!AllocateWipeList(static_cast<std::size_t>(count), list)) return BlackenWholeFrame(wipe);
    const int n = count / 4;
    const int ey = h % 2 == 0 ? 1 : 0, ex = w % 2 == 0 ? 1 : 0;
    // Rows from the top and the bottom edge, columns from the left and the
    // right edge, one of each in turn; the last count - 4n slots keep 0.
    for (int k = 0; k < n; ++k) {
        list[static_cast<std::size_t>(4 * k)] = 2 * k;
        list[static_cast<std::size_t>(4 * k + 1)] = h - ey - 2 * k;
        list[static_cast<std::size_t>(4 * k + 2)] = h + 2 * k;
        list[static_cast<std::size_t>(4 * k + 3)] = w + h - ex - 2 * k;
    }
    const int period = wipe.unit / 5;
    for (int i = 0; i < count; ++i) {
        BlackenListedLine(wipe, list[static_cast<std::size_t>(i)], mirrorX, mirrorY);
        if (wipe.delayFactor > 0 && i % period == 0 && !PauseWipe(wipe, wipe.delayFactor * period)) return;
    }
}

void WipeFizzle(WipeContext& wipe)
{
    constexpr int kSide = 31;
    constexpr int kCells = kSide * kSide;
    // A random permutation of the 961 places of a block.
    std::array<int, kCells> pool{}, order{};
    for (int k = 0; k < kCells; ++k) pool[static_cast<std::size_t>(k)] = k;
    for (int i = 0; i < kCells; ++i) {
        const int n = kCells - i;
        const int j = DrawWipeRandom(wipe, n);
        order[static_cast<std::size_t>(pool[static_cast<std::size_t>(j)])] = i;
        pool[static_cast<std::size_t>(j)] = pool[static_cast<std::size_t>(n - 1)];
    }
    const int w = wipe.w, h = wipe.h;
    const int nx = w / kSide + (w % kSide != 0 ? 1 : 0);
    const int ny = h / kSide + (h % kSide != 0 ? 1 : 0);
    // Offsets (dx, dy) of block (X, Y) at 2 (Y nx + X), drawn block column by
    // block column; without the table every offset is 0.
    std::vector<int> offsets;
    const bool haveOffsets = AllocateWipeList(2 * static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), offsets);
    if (haveOffsets) {
        for (int X = 0; X < nx; ++X) {
            for (int Y = 0; Y < ny; ++Y) {
                const std::size_t at = 2 * (static_cast<std::size_t>(Y) * static_cast<std::size_t>(nx) + static_cast<std::size_t>(X));
                offsets[at] = DrawWipeRandom(wipe, kSide);
                offsets[at + 1] = DrawWipeRandom(wipe, kSide);
            }
        }
    }
    // 31 is prime and the multipliers lie in 1..30, so each block meets each
    // of its places exactly once over the 961 steps.
    for (int t = 0; t < kCells; ++t) {
        const int cell = order[static_cast<std::size_t>(t)];
        const int cx = cell % kSide, cy = cell / kSide;
        for (int Y = 0, by = 0; by < h; ++Y, by += kSide) {
            for (int X = 0, bx = 0; bx < w; ++X, bx += kSide) {
                int dx = 0, dy = 0;
                if (haveOffsets) {
                    const std::size_t at = 2 * (static_cast<std::size_t>(Y) * static_cast<std::size_t>(nx) + static_cast<std::size_t>(X));
                    dx = offsets[at];
                    dy = offsets[at + 1];
                }
                wipe.surface.SetBlackPixel(bx + ((X % 30 + 1) * cx + dx) % kSide, by + ((Y % 30 + 1) * cy + dy) % kSide);
            }
        }
        if (!WipeGoesOn(wipe)) return;
    }
}

void WipeRandomSquares(WipeContext& wipe)
{
    const int w = wipe.w, h = wipe.h;
    int s = (w < h ? w : h) / (16 + DrawWipeRandom(wipe, 32));
    if (s < 1) s = 1;
    const int nx = w / s + 1, ny = h / s + 1;
    const long long count = static_cast<long long>(nx) * ny;
    std::vector<int> list;
    if (!AllocateWipeList(static_cast<std::size_t>(count), list)) return BlackenWholeFrame(wipe);
    for (int i = 0; i < static_cast<int>(count); ++i) list[static_cast<std::size_t>(i)] = i;
    ShuffleWipeList(wipe, list);
    for (int i = 0; i < static_cast<int>(count); ++i) {
        const int v = list[static_cast<std::size_t>(i)];
        const int left = (v % nx) * s, top = (v / nx) * s;
        wipe.surface.FillBlackRect(left, top, left + s, top + s);
        if (wipe.delayFactor > 0 && i % wipe.unit == 0 && !PauseWipe(wipe, wipe.unit / 5)) return;
    }
}

void WipeSlideLines(WipeContext& wipe)
{
    const int w = wipe.w, h = wipe.h;
    int band = h / wipe.unit;
    if (band < 1) band = 1;
    int stepX = w / 100;
    if (stepX < 1) stepX = 1;
    if (w <= 0) return;
    // Even bands grow from the left edge, odd ones from the right; the last
    // step reaches both edges.
    int pos = 0;
    do {
        for (int y = 0; y <= h; y += band) {
            if ((y / band) % 2 == 0) wipe.surface.FillBlackRect(0, y, pos + stepX, y + band);
            else wipe.surface.FillBlackRect(w - pos - stepX, y, w, y + band);
        }
        if (!PauseWipe(wipe, 3 * wipe.delayFactor)) return;
        pos += stepX;
    } while (pos < w);
}

void WipeWipebarInner(WipeContext& wipe)
{
    const int w = wipe.w, h = wipe.h;
    const bool vertical = DrawWipeCoin(wipe);
    const int ext = vertical ? w : h;
    const int half = ext / 2;
    // Below 200 pixels of half extent the design's step is 0 and the bars
    // would never move; they then close one pixel a step.
    int step = half / 200;
    if (step < 1) step = 1;
    const int pause = wipe.unit / 2;
    int pos = 0;
    if (half >= 0) {
        do {
            if (vertical) {
                wipe.surface.FillBlackRect(0, 0, pos, h);
                wipe.surface.FillBlackRect(w - pos, 0, w, h);
            } else {
                wipe.surface.FillBlackRect(0, 0, w, pos);
                wipe.surface.FillBlackRect(0, h - pos, w, h);
            }
            if (pos % pause == 0 && !PauseWipe(wipe, pause)) return;
            pos += step;
        } while (pos <= half);
    }
    wipe.surface.FillBlackRect(0, 0, w, h);
}
