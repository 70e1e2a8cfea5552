// Draws the relief saver's banner picture (bitmap resource 227) and writes it
// as an RLE8-compressed 8-bit BMP file:
//
//     ondrels-banner OUTPUT.bmp
//
// The picture: on a black ground an emboss-lit sphere at the left, the
// saver's title in large white capitals at the right and two lines of small
// white text under it. Colour table: index 0 black, 1..127 the saver's own
// ramp (near black through the default base colour to white) for the sphere,
// 128..255 greys up to white for the smoothed lettering.
//
// Everything is computed from the constants below, so the same program gives
// the same bytes; the build checks the committed picture against it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "headless/banner_rle8.h"
#include "relief/relief_state.h"

namespace {

constexpr int kWidth = 260;
constexpr int kHeight = 80;
constexpr int kSphereFirst = 1;   // first ramp index
constexpr int kSphereLast = 127;  // last ramp index
constexpr int kGreyFirst = 128;   // grey 0 ... 255 white

// The saver's default base colour.
constexpr int kBaseRed = 156, kBaseGreen = 164, kBaseBlue = 34;

struct Rgb {
    std::uint8_t red, green, blue;
};

std::vector<Rgb> BannerColorTable()
{
    std::vector<Rgb> table(256, Rgb{0, 0, 0});
    const int last = kSphereLast - kSphereFirst;
    for (int i = 0; i <= last; ++i) {
        table[static_cast<std::size_t>(kSphereFirst + i)] = {RampChannel(kBaseRed, i, last), RampChannel(kBaseGreen, i, last),
                                                             RampChannel(kBaseBlue, i, last)};
    }
    for (int i = kGreyFirst; i < 256; ++i) {
        const auto grey = static_cast<std::uint8_t>((i - kGreyFirst) * 255 / (255 - kGreyFirst));
        table[static_cast<std::size_t>(i)] = {grey, grey, grey};
    }
    return table;
}

// --- The sphere ---------------------------------------------------------------

constexpr double kSphereX = 42.0, kSphereY = 40.0, kSphereRadius = 34.0;

// Height of the embossed sphere at (x, y), or -1 outside it: a dome with
// ripples running round a point up and to the left of its centre, the kind of
// relief the saver raises from a desktop.
double SphereHeight(double x, double y)
{
    const double dx = x - kSphereX, dy = y - kSphereY;
    const double d2 = dx * dx + dy * dy;
    if (d2 >= kSphereRadius * kSphereRadius) return -1.0;
    const double dome = std::sqrt(kSphereRadius * kSphereRadius - d2);
    const double rx = x - (kSphereX - 9.0), ry = y - (kSphereY - 7.0);
    const double ripple = 1.6 * std::cos(std::sqrt(rx * rx + ry * ry) * 0.85);
    return dome + ripple;
}

// Light from the upper left and in front: diffuse and a small highlight.
double SphereBrightness(double x, double y)
{
    const double h = SphereHeight(x, y);
    if (h < 0.0) return -1.0;
    const double e = 0.25;
    const double hx = SphereHeight(x + e, y), hx0 = SphereHeight(x - e, y);
    const double hy = SphereHeight(x, y + e), hy0 = SphereHeight(x, y - e);
    double nx = 0.0, ny = 0.0;
    if (hx >= 0.0 && hx0 >= 0.0) nx = -(hx - hx0) / (2 * e);
    if (hy >= 0.0 && hy0 >= 0.0) ny = -(hy - hy0) / (2 * e);
    const double nl = std::sqrt(nx * nx + ny * ny + 1.0);
    const double lx = -0.5, ly = -0.6, lz = 0.62; // roughly unit length
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double diffuse = std::max(0.0, (nx * lx + ny * ly + lz) / (nl * ll));
    const double highlight = std::pow(diffuse, 24.0);
    return std::min(1.0, 0.06 + 0.72 * diffuse + 0.35 * highlight);
}

std::uint8_t SpherePixel(int px, int py, bool& inside)
{
    // 4 x 4 samples: the rim fades into the black ground.
    double sum = 0.0;
    int covered = 0;
    for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
            const double b = SphereBrightness(px + (sx + 0.5) / 4.0, py + (sy + 0.5) / 4.0);
            if (b >= 0.0) {
                sum += b;
                ++covered;
            }
        }
    }
    inside = covered > 0;
    if (!inside) return 0;
    const double level = sum / 16.0;
    return static_cast<std::uint8_t>(kSphereFirst + static_cast<int>(level * (kSphereLast - kSphereFirst) + 0.5));
}

// --- Large capitals: strokes -------------------------------------------------

struct Point {
    double x, y;
};
using Stroke = std::vector<Point>;

// Arc of an ellipse in a glyph box; angles in degrees, y pointing down.
Stroke Arc(double cx, double cy, double rx, double ry, double from, double to)
{
    Stroke stroke;
    const int steps = 32;
    for (int i = 0; i <= steps; ++i) {
        const double a = (from + (to - from) * i / steps) * 3.14159265358979 / 180.0;
        stroke.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return stroke;
}

Stroke Join(Stroke a, const Stroke& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Glyphs in a box 0.75 wide and 1 high.
std::vector<Stroke> CapitalStrokes(char letter)
{
    switch (letter) {
    case 'O': return {Arc(0.375, 0.5, 0.375, 0.5, 0, 360)};
    case 'N': return {{{0, 1}, {0, 0}, {0.75, 1}, {0.75, 0}}};
    case 'D': return {Join(Join({{0, 1}, {0, 0}, {0.3, 0}}, Arc(0.3, 0.5, 0.45, 0.5, -90, 90)), {{0, 1}})};
    case 'R': return {Join(Join({{0, 1}, {0, 0}, {0.4, 0}}, Arc(0.4, 0.26, 0.33, 0.26, -90, 90)), {{0, 0.52}}), {{0.34, 0.52}, {0.75, 1}}};
    case 'E': return {{{0.75, 0}, {0, 0}, {0, 1}, {0.75, 1}}, {{0, 0.5}, {0.58, 0.5}}};
    case 'L': return {{{0, 0}, {0, 1}, {0.72, 1}}};
    case 'S': return {Join(Arc(0.375, 0.255, 0.355, 0.255, -25, -270), Arc(0.375, 0.755, 0.375, 0.245, -90, 155))};
    default: return {};
    }
}

double SegmentDistance(Point p, Point a, Point b)
{
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double wx = p.x - a.x, wy = p.y - a.y;
    const double length2 = vx * vx + vy * vy;
    double t = length2 > 0.0 ? (wx * vx + wy * vy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = wx - t * vx, dy = wy - t * vy;
    return std::sqrt(dx * dx + dy * dy);
}

// Coverage 0..1 of strokes (in pixels) of the given width at pixel (px, py).
double StrokeCoverage(const std::vector<Stroke>& strokes, double width, int px, int py)
{
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
            const Point p{px + (sx + 0.5) / 4.0, py + (sy + 0.5) / 4.0};
            double nearest = 1e9;
            for (const Stroke& s : strokes)
                for (std::size_t i = 0; i + 1 < s.size(); ++i) nearest = std::min(nearest, SegmentDistance(p, s[i], s[i + 1]));
            if (nearest <= width / 2.0) ++inside;
        }
    }
    return inside / 16.0;
}

// --- Small capitals: a 5 x 7 font --------------------------------------------

// Seven rows of five columns, '#' set; nullptr for a space.
const char* const* SmallGlyph(char c)
{
    struct Glyph {
        char c;
        const char* rows[7];
    };
    static const Glyph glyphs[] = {
        {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
        {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
        {'C', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "}},
        {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
        {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
        {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
        {'G', {" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"}},
        {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
        {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
        {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
        {'M', {"#   #", "## ##", "# # #", "#   #", "#   #", "#   #", "#   #"}},
        {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
        {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
        {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
        {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
        {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
        {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
        {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
        {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
        {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
        {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
        {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
        {'.', {"     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "}},
        {'@', {" ### ", "#   #", "# ###", "# # #", "# ###", "#    ", " ####"}},
        {'-', {"     ", "     ", "     ", "#####", "     ", "     ", "     "}},
    };
    for (const Glyph& g : glyphs)
        if (g.c == c) return g.rows;
    return nullptr;
}

void DrawSmallText(std::vector<std::uint8_t>& pixels, const std::string& text, int left, int top)
{
    int x = left;
    for (char c : text) {
        const char* const* rows = SmallGlyph(c);
        for (int row = 0; rows != nullptr && row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (rows[row][column] == '#') pixels[static_cast<std::size_t>((top + row) * kWidth + x + column)] = 255;
        x += 6;
    }
}

int SmallTextWidth(const std::string& text) { return static_cast<int>(text.size()) * 6 - 1; }

// --- The picture ---------------------------------------------------------------

std::vector<std::uint8_t> DrawBanner()
{
    std::vector<std::uint8_t> pixels(kWidth * kHeight, 0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < 84; ++x) {
            bool inside = false;
            const std::uint8_t index = SpherePixel(x, y, inside);
            if (inside) pixels[static_cast<std::size_t>(y * kWidth + x)] = index;
        }
    }

    // The title, centred over the text column right of the sphere.
    const std::string title = "ONDRELS";
    const double letterHeight = 26.0, letterWidth = 0.75 * letterHeight, gap = 5.0, stroke = 4.2;
    const double letters = static_cast<double>(title.size());
    const double titleWidth = letters * letterWidth + (letters - 1) * gap + stroke;
    const double column = 84.0, columnWidth = kWidth - column;
    const double titleLeft = column + (columnWidth - titleWidth) / 2.0 + stroke / 2.0, titleTop = 10.0;
    std::vector<Stroke> strokes;
    for (std::size_t i = 0; i < title.size(); ++i) {
        const double left = titleLeft + static_cast<double>(i) * (letterWidth + gap);
        for (Stroke s : CapitalStrokes(title[i])) {
            for (Point& p : s) p = {left + p.x * letterHeight, titleTop + p.y * letterHeight};
            strokes.push_back(s);
        }
    }
    for (int y = 4; y < 44; ++y) {
        for (int x = static_cast<int>(column); x < kWidth; ++x) {
            const double coverage = StrokeCoverage(strokes, stroke, x, y);
            if (coverage > 0.0)
                pixels[static_cast<std::size_t>(y * kWidth + x)] = static_cast<std::uint8_t>(kGreyFirst + static_cast<int>(coverage * (255 - kGreyFirst) + 0.5));
        }
    }

    const std::string lines[] = {"RELIEF SCREEN SAVER V0.89", "ONDRELS@EXAMPLE.ORG"};
    int top = 50;
    for (const std::string& line : lines) {
        DrawSmallText(pixels, line, static_cast<int>(column) + (static_cast<int>(columnWidth) - SmallTextWidth(line)) / 2, top);
        top += 11;
    }
    return pixels;
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> BannerFile()
{
    const std::vector<std::uint8_t> image = EncodeRle8(DrawBanner().data(), kWidth, kHeight);
    const std::vector<Rgb> table = BannerColorTable();
    const std::uint32_t offset = 14 + 40 + 4 * 256;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, offset + static_cast<std::uint32_t>(image.size()), 4);
    PutLe(out, 0, 4);
    PutLe(out, offset, 4);
    PutLe(out, 40, 4);     // biSize
    PutLe(out, kWidth, 4);
    PutLe(out, kHeight, 4); // positive: bottom-up
    PutLe(out, 1, 2);      // planes
    PutLe(out, 8, 2);      // bits per pixel
    PutLe(out, 1, 4);      // BI_RLE8
    PutLe(out, static_cast<std::uint32_t>(image.size()), 4);
    PutLe(out, 2834, 4);   // pixels per metre (72 per inch), both ways
    PutLe(out, 2834, 4);
    PutLe(out, 256, 4);    // colours used
    PutLe(out, 256, 4);    // colours important
    for (const Rgb& c : table) {
        out.push_back(c.blue);
        out.push_back(c.green);
        out.push_back(c.red);
        out.push_back(0);
    }
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    const std::vector<std::uint8_t> file = BannerFile();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
