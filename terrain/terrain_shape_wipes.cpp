// The seven wipes built from sectors, triangles and regions. Floating-point
// work is done in double precision with the constants as written and
// truncated toward zero; several wipes draw in centred coordinates, shifting
// the drawing origin by (w / -2, h / -2) and back by (w / 2, h / 2).
#include <cmath>
#include <cstdint>

#include "terrain_wipes.h"

namespace {

// Degrees to radians, multiplied in this order.
double WipeRadians(int degrees) { return degrees * 3.141592654 * 0.005555555555555556; }

// The point at distance R from the centre in direction angle p: 0 points up,
// 90 to the left, so growing angles turn counterclockwise on screen.
SurfacePoint WipeDirectionPoint(int degrees, int R)
{
    const double p = WipeRadians(degrees);
    return {static_cast<int>(-R * std::sin(p)), static_cast<int>(-R * std::cos(p))};
}

int LargerSide(const WipeContext& wipe) { return wipe.w > wipe.h ? wipe.w : wipe.h; }

void ShiftToCentre(WipeContext& wipe) { wipe.surface.ShiftOrigin(wipe.w / -2, wipe.h / -2); }
void ShiftBack(WipeContext& wipe) { wipe.surface.ShiftOrigin(wipe.w / 2, wipe.h / 2); }

void FillPie(WipeContext& wipe, int R, SurfacePoint from, SurfacePoint to)
{
    wipe.surface.FillBlackPie(-R, -R, R, R, from.x, from.y, to.x, to.y);
}

} // namespace

void WipeCircle(WipeContext& wipe)
{
    int dir = 15;
    const int start = DrawWipeRandom(wipe, 360);
    const int R = 2 * LargerSide(wipe);
    if (DrawWipeCoin(wipe)) dir = -15;
    ShiftToCentre(wipe);
    const SurfacePoint S = WipeDirectionPoint(start, R);
    // 25 sectors: 15 to 345 degrees, the whole disc (E equals S), 15 again.
    for (int k = dir > 0 ? 0 : 360; dir > 0 ? k <= 360 : k >= 0; k += dir) {
        const SurfacePoint E = WipeDirectionPoint(k + start + dir, R);
        if (dir > 0) FillPie(wipe, R, S, E);
        else FillPie(wipe, R, E, S);
        if (!PauseWipe(wipe, wipe.delayFactor * wipe.unit)) break;
    }
    ShiftBack(wipe);
}

void WipeThreeCircle(WipeContext& wipe)
{
    const int s = DrawWipeRandom(wipe, 60);
    const int R = 2 * LargerSide(wipe);
    ShiftToCentre(wipe);
    SurfacePoint starts[6];
    for (int j = 0; j < 6; ++j) starts[j] = WipeDirectionPoint(s + 60 * j, R);
    for (int i = 0; i < 60; ++i) {
        for (int j = 0; j < 6; ++j) FillPie(wipe, R, starts[j], WipeDirectionPoint(s + 60 * j + i + 1, R));
        if (!PauseWipe(wipe, 1)) break;
    }
    ShiftBack(wipe);
}

void WipeSquarerate(WipeContext& wipe)
{
    const int w = wipe.w, h = wipe.h;
    int N = 2 * w / wipe.unit;
    const bool mirrored = DrawWipeCoin(wipe);
    // Narrower than 13 pixels the design's N is 0 and its steps divide by it:
    // such a frame is turned in one step (N = 1), its last step covering the
    // frame as on any other size.
    if (N == 0) N = 1;
    auto mx = [&](int x) { return mirrored ? w - x : x; };
    if (N >= 0) {
        for (int t = 0; t <= N; ++t) {
            const int yb = static_cast<int>(static_cast<std::int64_t>(t) * h / N);
            const int xa = static_cast<int>(static_cast<std::int64_t>(t) * w / N);
            const SurfacePoint triangles[4][3] = {
                {{mx(0), 0}, {mx(w), 0}, {mx(0), yb}},
                {{mx(0), 0}, {mx(0), h}, {mx(xa), h}},
                {{mx(w), h}, {mx(0), h}, {mx(w), h - yb}},
                {{mx(w), h}, {mx(w), 0}, {mx(w - xa), 0}},
            };
            for (const auto& triangle : triangles) wipe.surface.FillPolygon(triangle, 3, kSurfaceBlack);
            if (wipe.delayFactor > 0 && !PauseWipe(wipe, wipe.delayFactor * wipe.unit)) return;
        }
    }
}

void WipeSpiral(WipeContext& wipe)
{
    const int w = wipe.w, h = wipe.h;
    // In 64 bits: the sum of squares passes 2^31 on frames above 32767 pixels.
    const std::int64_t D = static_cast<std::int64_t>(w) * w + static_cast<std::int64_t>(h) * h;
    const int half = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(D))) * 0.5);
    const int step = (half + 9) / 10;
    const SurfacePoint centre{w / 2, h / 2};
    SurfacePoint Q{w / 2 + step, h / 2};
    // Each turn: 361 thin triangles from the centre, the radius growing from
    // r0 to r0 + step; Q carries over from one turn to the next.
    for (int r0 = step; r0 < half + step; r0 += step) {
        double t = 0.0;
        do {
            const int radius = static_cast<int>(t * step * 0.15915494307111402 + r0);
            const SurfacePoint P{static_cast<int>(std::cos(t) * radius) + w / 2, static_cast<int>(std::sin(t) * radius) + h / 2};
            const SurfacePoint triangle[3] = {centre, Q, P};
            wipe.surface.FillPolygon(triangle, 3, kSurfaceBlack);
            Q = P;
            t = t + 0.017453292522222223;
        } while (t < 6.283185308);
        if (!PauseWipe(wipe, 30)) return;
    }
}

void WipeDiagonal(WipeContext& wipe)
{
    const int w = wipe.w, h = wipe.h;
    const bool rightward = DrawWipeCoin(wipe);
    const int s = h / 32 + 1;
    // A staircase of 32 steps of s x s pixels from (s, h) up to (32s, h - 32s).
    SurfacePoint shape[66];
    shape[0] = rightward ? SurfacePoint{0, h} : SurfacePoint{33 * s, h};
    for (int k = 0; k < 32; ++k) {
        shape[2 * k + 1] = {(k + 1) * s, h - k * s};
        shape[2 * k + 2] = {(k + 1) * s, h - (k + 1) * s};
    }
    shape[65] = rightward ? SurfacePoint{0, 0} : SurfacePoint{33 * s, h - 33 * s};
    // Rightward the shape starts just left of the frame and moves right;
    // otherwise just right of it, moving left.
    int shifted = rightward ? 32 * s : -w;
    wipe.surface.ShiftOrigin(shifted, 0);
    for (int pos = 0; pos < 32 * s + w; pos += s) {
        wipe.surface.FillBlackPolygonRegion(shape, 66);
        const int move = rightward ? -s : s;
        wipe.surface.ShiftOrigin(move, 0);
        shifted += move;
        if (!PauseWipe(wipe, wipe.unit / 5)) break;
    }
    wipe.surface.ShiftOrigin(-shifted, 0);
}

void WipeCircleInner(WipeContext& wipe)
{
    const int half = LargerSide(wipe) / 2;
    // Below 128 pixels the design's dr is 0 and the circle would never
    // shrink; it then shrinks one pixel a step.
    int dr = half / 64;
    if (dr < 1) dr = 1;
    ShiftToCentre(wipe);
    int r = half;
    if (r >= 0) {
        do {
            // The square of side 2 x half around the centre, minus the circle.
            wipe.surface.FillBlackRectMinusEllipse(-half, -half, half, half, -r, -r, r, r);
            if (!PauseWipe(wipe, wipe.unit)) return ShiftBack(wipe);
            r = r - dr;
        } while (r >= 0);
    }
    ShiftBack(wipe);
    wipe.surface.FillBlackRect(0, 0, wipe.w, wipe.h);
}

void WipeStarOuter(WipeContext& wipe)
{
    const int m = LargerSide(wipe);
    // Below 16 pixels the design's step is 0 and the star would never grow;
    // it then grows one pixel a step.
    int step = m / 16;
    if (step < 1) step = 1;
    const int pause = wipe.unit / 2;
    ShiftToCentre(wipe);
    for (int r = 0; r < m; r += step) {
        const int X54 = static_cast<int>(std::cos(0.9424777962) * r), Y54 = static_cast<int>(std::sin(0.9424777962) * r);
        const int X18 = static_cast<int>(std::cos(0.3141592654) * r), Y18 = static_cast<int>(std::sin(0.3141592654) * (-r));
        // The top point, then every second corner of the pentagon.
        const SurfacePoint star[5] = {{0, -r}, {X54, Y54}, {-X18, Y18}, {X18, Y18}, {-X54, Y54}};
        wipe.surface.FillBlackPolygonRegion(star, 5);
        if (!PauseWipe(wipe, pause)) return ShiftBack(wipe);
    }
    ShiftBack(wipe);
    wipe.surface.FillBlackRect(0, 0, wipe.w, wipe.h);
}
