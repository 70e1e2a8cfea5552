#include "software_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Frame coordinates are kept in 64 bits: a logical coordinate near the int
// limits minus an origin shift must not wrap.
using Coord = long long;

struct FramePoint {
    Coord x;
    Coord y;
};

// Pixels x0 <= x < x1 of frame row y, clipped.
void FillSpan(SoftwareSurface& s, Coord y, Coord x0, Coord x1, std::uint32_t rgb)
{
    if (y < 0 || y >= s.height) return;
    x0 = std::max<Coord>(x0, 0);
    x1 = std::min<Coord>(x1, s.width);
    if (x0 >= x1) return;
    std::uint32_t* row = s.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width);
    std::fill(row + x0, row + x1, rgb);
}

void SetPixel(SoftwareSurface& s, Coord x, Coord y, std::uint32_t rgb)
{
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    s.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) + static_cast<std::size_t>(x)] = rgb;
}

// The pixels a one-pixel line from a to b passes, b itself not drawn (the
// platform's rule, so that a closed outline sets each corner once). Only the
// steps that can land in the frame are visited, however long the line.
void DrawLine(SoftwareSurface& s, FramePoint a, FramePoint b, std::uint32_t rgb)
{
    const Coord dx = std::llabs(b.x - a.x), dy = std::llabs(b.y - a.y);
    const Coord sx = b.x >= a.x ? 1 : -1, sy = b.y >= a.y ? 1 : -1;
    const bool xMajor = dx >= dy;
    const Coord steps = xMajor ? dx : dy;
    if (steps == 0) return;
    // The major coordinate is start + sign * i; keep the i that stay inside.
    const Coord start = xMajor ? a.x : a.y;
    const Coord sign = xMajor ? sx : sy;
    const Coord limit = xMajor ? s.width : s.height;
    Coord first = 0, last = steps - 1;
    if (sign > 0) {
        first = std::max(first, -start);
        last = std::min(last, limit - 1 - start);
    } else {
        first = std::max(first, start - (limit - 1));
        last = std::min(last, start);
    }
    const Coord minor = xMajor ? dy : dx;
    for (Coord i = first; i <= last; ++i) {
        // The minor coordinate rounded to the nearest pixel, halves towards
        // the smaller coordinate whichever way the line runs, as the platform
        // does: a line and its reverse set the same pixels.
        const Coord offset = (2 * i * minor + steps - ((xMajor ? sy : sx) > 0 ? 1 : 0)) / (2 * steps);
        if (xMajor) SetPixel(s, a.x + sx * i, a.y + sy * offset, rgb);
        else SetPixel(s, a.x + sx * offset, a.y + sy * i, rgb);
    }
}

// Fills the interior of a closed polygon by the non-zero winding rule, or by
// the alternate (even-odd) rule that the platform's Polygon uses by default.
// As on the platform, a pixel belongs to it when its top-left corner does,
// a corner on a left edge counting as inside and one on a right edge not.
void FillPolygonInterior(SoftwareSurface& s, const std::vector<FramePoint>& p, bool winding, std::uint32_t rgb)
{
    const std::size_t n = p.size();
    if (n < 3 || s.width == 0 || s.height == 0) return;
    Coord minY = p[0].y, maxY = p[0].y;
    for (const FramePoint& q : p) {
        minY = std::min(minY, q.y);
        maxY = std::max(maxY, q.y);
    }
    // Rows y in [minY, maxY).
    const Coord firstRow = std::max<Coord>(minY, 0);
    const Coord lastRow = std::min<Coord>(maxY - 1, s.height - 1);
    std::vector<std::pair<double, int>> crossings;
    for (Coord y = firstRow; y <= lastRow; ++y) {
        const double yc = static_cast<double>(y);
        crossings.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const FramePoint& a = p[i];
            const FramePoint& b = p[(i + 1) % n];
            if (a.y == b.y) continue;
            const bool down = b.y > a.y;
            const double top = static_cast<double>(down ? a.y : b.y), bottom = static_cast<double>(down ? b.y : a.y);
            if (yc < top || yc >= bottom) continue;
            const double x = static_cast<double>(a.x) + (yc - static_cast<double>(a.y)) * static_cast<double>(b.x - a.x) / static_cast<double>(b.y - a.y);
            crossings.emplace_back(x, down ? 1 : -1);
        }
        std::sort(crossings.begin(), crossings.end());
        int count = 0;
        for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
            count += winding ? crossings[k].second : 1;
            const bool inside = winding ? count != 0 : (count % 2) != 0;
            if (!inside) continue;
            // Pixels x in [xa, xb).
            const double xa = std::ceil(crossings[k].first), xb = std::ceil(crossings[k + 1].first);
            const double lo = std::max(xa, -1.0), hi = std::min(xb, static_cast<double>(s.width) + 1.0);
            if (lo < hi) FillSpan(s, y, static_cast<Coord>(lo), static_cast<Coord>(hi), rgb);
        }
    }
}

// The ellipse inscribed in a box, in frame coordinates. Like the platform's,
// it fills the box less its right column and bottom row: (0, 0, 80, 80) gives
// rows and columns 0..78.
struct Ellipse {
    double cx = 0, cy = 0, rx = 0, ry = 0;
    bool empty = true;
};

Ellipse EllipseInBox(Coord left, Coord top, Coord right, Coord bottom)
{
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    Ellipse e;
    e.cx = (static_cast<double>(left) + static_cast<double>(right) - 1.0) / 2.0;
    e.cy = (static_cast<double>(top) + static_cast<double>(bottom) - 1.0) / 2.0;
    e.rx = (static_cast<double>(right) - static_cast<double>(left) - 1.0) / 2.0;
    e.ry = (static_cast<double>(bottom) - static_cast<double>(top) - 1.0) / 2.0;
    e.empty = e.rx <= 0.0 || e.ry <= 0.0;
    return e;
}

// The pixels [x0, x1] of frame row y whose centres lie inside the ellipse;
// false when none does.
bool EllipseRowSpan(const Ellipse& e, Coord y, Coord& x0, Coord& x1)
{
    if (e.empty) return false;
    const double dy = (static_cast<double>(y) + 0.5 - e.cy) / e.ry;
    if (dy < -1.0 || dy > 1.0) return false;
    const double halfWidth = e.rx * std::sqrt(1.0 - dy * dy);
    const double first = std::ceil(e.cx - halfWidth - 0.5), last = std::floor(e.cx + halfWidth - 0.5);
    if (first > last) return false;
    x0 = static_cast<Coord>(first);
    x1 = static_cast<Coord>(last);
    return true;
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// The pixels x in [lo, hi] of a row whose corner offset vx = x - cx
// satisfies coef * vx + constant >= 0, a half-line of the row; false when none
// does. The boundary found by division is settled with the test itself, so
// the span is exactly the pixels that pass it.
bool HalfLineSpan(double coef, double constant, double cx, Coord lo, Coord hi, Coord& first, Coord& last)
{
    auto passes = [&](Coord x) { return coef * (static_cast<double>(x) - cx) + constant >= 0.0; };
    first = lo;
    last = hi;
    if (coef == 0.0) return constant >= 0.0 && lo <= hi;
    const double edge = -constant / coef + cx;
    if (coef > 0.0) {
        if (edge > static_cast<double>(hi)) return false;
        if (edge > static_cast<double>(lo)) first = static_cast<Coord>(std::ceil(edge));
        while (first > lo && passes(first - 1)) --first;
        while (first <= hi && !passes(first)) ++first;
        return first <= hi;
    }
    if (edge < static_cast<double>(lo)) return false;
    if (edge < static_cast<double>(hi)) last = static_cast<Coord>(std::floor(edge));
    while (last < hi && passes(last + 1)) ++last;
    while (last >= lo && !passes(last)) --last;
    return last >= lo;
}

} // namespace

SoftwareSurface::SoftwareSurface(int w, int h)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(static_cast<std::size_t>(std::max(w, 0)) * static_cast<std::size_t>(std::max(h, 0)), 0u)
{
}

std::uint32_t SoftwareSurface::ResolveColor(std::uint32_t color) const
{
    if ((color >> 24) == 1) {
        const std::size_t index = color & 0xFFFFu;
        if (index < palette.size()) return palette[index];
        return palette.empty() ? 0u : palette[0];
    }
    // 0x00BBGGRR to 0x00RRGGBB.
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

void SoftwareSurface::PutPixelBlock(int left, int top, int blockWidth, int blockHeight, const std::uint8_t* bottomUpBgr)
{
    if (blockWidth <= 0 || blockHeight <= 0 || bottomUpBgr == nullptr) return;
    const Coord frameLeft = static_cast<Coord>(left) - originX, frameTop = static_cast<Coord>(top) - originY;
    const Coord x0 = std::max<Coord>(frameLeft, 0);
    const Coord x1 = std::min<Coord>(frameLeft + blockWidth, width);
    const Coord y0 = std::max<Coord>(frameTop, 0);
    const Coord y1 = std::min<Coord>(frameTop + blockHeight, height);
    if (x0 >= x1 || y0 >= y1) return; // wholly outside
    for (Coord y = y0; y < y1; ++y) {
        // Block row 0 is its bottom line.
        const Coord blockRow = blockHeight - 1 - (y - frameTop);
        const std::uint8_t* src = bottomUpBgr + (static_cast<std::size_t>(blockRow) * static_cast<std::size_t>(blockWidth) + static_cast<std::size_t>(x0 - frameLeft)) * 3;
        std::uint32_t* dst = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x0);
        for (Coord x = x0; x < x1; ++x, src += 3) {
            *dst++ = static_cast<std::uint32_t>(src[0]) | (static_cast<std::uint32_t>(src[1]) << 8) | (static_cast<std::uint32_t>(src[2]) << 16);
        }
    }
}

void SoftwareSurface::BlackenRow(int y)
{
    FillSpan(*this, static_cast<Coord>(y) - originY, -static_cast<Coord>(originX), static_cast<Coord>(width) - originX, 0);
}

void SoftwareSurface::BlackenColumn(int x)
{
    const Coord column = static_cast<Coord>(x) - originX;
    if (column < 0 || column >= width) return;
    const Coord y0 = std::max<Coord>(-static_cast<Coord>(originY), 0), y1 = std::min<Coord>(static_cast<Coord>(height) - originY, height);
    for (Coord y = y0; y < y1; ++y) pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)] = 0;
}

void SoftwareSurface::FillBlackRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top) return;
    const Coord y0 = std::max<Coord>(static_cast<Coord>(top) - originY, 0), y1 = std::min<Coord>(static_cast<Coord>(bottom) - originY, height);
    for (Coord y = y0; y < y1; ++y) FillSpan(*this, y, static_cast<Coord>(left) - originX, static_cast<Coord>(right) - originX, 0);
}

void SoftwareSurface::SetBlackPixel(int x, int y) { SetPixel(*this, static_cast<Coord>(x) - originX, static_cast<Coord>(y) - originY, 0); }

void SoftwareSurface::FillPolygon(const SurfacePoint* points, int count, std::uint32_t color)
{
    if (points == nullptr || count < 2) return;
    std::vector<FramePoint> p(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = {static_cast<Coord>(points[i].x) - originX, static_cast<Coord>(points[i].y) - originY};
    FillPolygonInterior(*this, p, /*winding*/ false, ResolveColor(color));
    for (std::size_t i = 0; i < p.size(); ++i) DrawLine(*this, p[i], p[(i + 1) % p.size()], 0);
}

void SoftwareSurface::FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    const Ellipse e = EllipseInBox(static_cast<Coord>(left) - originX, static_cast<Coord>(top) - originY,
                                   static_cast<Coord>(right) - originX, static_cast<Coord>(bottom) - originY);
    if (e.empty) return;
    // The radials start at the centre of the box itself, as the platform's do.
    const double cx = (static_cast<double>(static_cast<Coord>(left) - originX) + static_cast<double>(static_cast<Coord>(right) - originX)) / 2.0;
    const double cy = (static_cast<double>(static_cast<Coord>(top) - originY) + static_cast<double>(static_cast<Coord>(bottom) - originY)) / 2.0;
    // Directions in viewer coordinates (y upwards), where counterclockwise on
    // screen is the usual positive turn. A point at the centre counts as
    // pointing right.
    auto direction = [&](int px, int py, double& vx, double& vy) {
        vx = static_cast<double>(static_cast<Coord>(px) - originX) - cx;
        vy = cy - static_cast<double>(static_cast<Coord>(py) - originY);
        if (vx == 0.0 && vy == 0.0) vx = 1.0;
    };
    double ax, ay, bx, by;
    direction(x1, y1, ax, ay);
    direction(x2, y2, bx, by);
    const double turn = Cross(ax, ay, bx, by);
    const bool whole = (x1 == x2 && y1 == y2) || (turn == 0.0 && ax * bx + ay * by > 0.0);

    const Coord rowFirst = std::max<Coord>(static_cast<Coord>(std::floor(e.cy - e.ry)), 0);
    const Coord rowLast = std::min<Coord>(static_cast<Coord>(std::ceil(e.cy + e.ry)), static_cast<Coord>(height) - 1);
    for (Coord y = rowFirst; y <= rowLast; ++y) {
        Coord x0, x1e;
        if (!EllipseRowSpan(e, y, x0, x1e)) continue;
        x0 = std::max<Coord>(x0, 0);
        x1e = std::min<Coord>(x1e, static_cast<Coord>(width) - 1);
        if (x0 > x1e) continue;
        if (whole) {
            FillSpan(*this, y, x0, x1e + 1, 0);
            continue;
        }
        // Along a row each radial's side is a half-line of x: find where it
        // starts, then keep, per the sweep, both (up to a half turn) or either.
        const double vy = cy - static_cast<double>(y);
        Coord s0, s1, t0, t1;
        const bool afterStart = HalfLineSpan(-ay, ax * vy, cx, x0, x1e, s0, s1); // on or counterclockwise of the first radial
        const bool beforeEnd = HalfLineSpan(by, -vy * bx, cx, x0, x1e, t0, t1);  // on or clockwise of the second radial
        if (turn > 0.0) {
            if (afterStart && beforeEnd) FillSpan(*this, y, std::max(s0, t0), std::min(s1, t1) + 1, 0);
        } else {
            if (afterStart) FillSpan(*this, y, s0, s1 + 1, 0);
            if (beforeEnd && turn < 0.0) FillSpan(*this, y, t0, t1 + 1, 0);
        }
    }
    // The outline's two radials, from the centre to the ellipse.
    const FramePoint centre{static_cast<Coord>(std::floor(cx)), static_cast<Coord>(std::floor(cy))};
    for (const auto& v : {std::pair<double, double>(ax, ay), std::pair<double, double>(bx, by)}) {
        const double scale = 1.0 / std::sqrt((v.first / e.rx) * (v.first / e.rx) + (v.second / e.ry) * (v.second / e.ry));
        const FramePoint end{static_cast<Coord>(std::floor(cx + v.first * scale)), static_cast<Coord>(std::floor(cy - v.second * scale))};
        DrawLine(*this, centre, end, 0);
    }
}

void SoftwareSurface::FillBlackPolygonRegion(const SurfacePoint* points, int count)
{
    if (points == nullptr || count < 3) return;
    std::vector<FramePoint> p(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = {static_cast<Coord>(points[i].x) - originX, static_cast<Coord>(points[i].y) - originY};
    FillPolygonInterior(*this, p, /*winding*/ true, 0);
}

void SoftwareSurface::FillBlackRectMinusEllipse(int left, int top, int right, int bottom,
                                                int ellipseLeft, int ellipseTop, int ellipseRight, int ellipseBottom)
{
    if (right <= left || bottom <= top) return;
    const Ellipse e = EllipseInBox(static_cast<Coord>(ellipseLeft) - originX, static_cast<Coord>(ellipseTop) - originY,
                                   static_cast<Coord>(ellipseRight) - originX, static_cast<Coord>(ellipseBottom) - originY);
    const Coord rl = static_cast<Coord>(left) - originX, rr = static_cast<Coord>(right) - originX;
    const Coord y0 = std::max<Coord>(static_cast<Coord>(top) - originY, 0), y1 = std::min<Coord>(static_cast<Coord>(bottom) - originY, height);
    for (Coord y = y0; y < y1; ++y) {
        Coord e0, e1;
        if (!EllipseRowSpan(e, y, e0, e1)) {
            FillSpan(*this, y, rl, rr, 0);
            continue;
        }
        FillSpan(*this, y, rl, std::min(rr, e0), 0);
        FillSpan(*this, y, std::max(rl, e1 + 1), rr, 0);
    }
}

void SoftwareSurface::ShiftOrigin(int dx, int dy)
{
    // Shifts add up; like the platform's 32-bit origin, the sum wraps.
    originX = static_cast<int>(static_cast<std::uint32_t>(originX) + static_cast<std::uint32_t>(dx));
    originY = static_cast<int>(static_cast<std::uint32_t>(originY) + static_cast<std::uint32_t>(dy));
}

void SoftwareSurface::SelectPalette(const SurfacePalette& selected)
{
    if (selected.serial == paletteSerial && palette.size() == selected.colors.size()) return;
    palette = selected.colors;
    paletteSerial = selected.serial;
}
