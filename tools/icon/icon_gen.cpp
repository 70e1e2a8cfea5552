// Draws the terrain saver's icon (resource "SSAVERICON") and writes it as an
// icon file with two images, 32 x 32 and 16 x 16, both in 16 colours so that
// every system the savers run on can show them:
//
//     kesmar-icon OUTPUT.ico
//
// The picture: a small landscape against a transparent sky, a snow-capped
// mountain range lit from the left behind rolling green hills, and a sun in
// the top right corner, each shape outlined in black as the saver outlines
// its quads. Everything is computed from the constants below, so the same
// program gives the same bytes; the build checks the committed icon against it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Rgb {
    std::uint8_t red, green, blue;
};

// The 16 colours of both images.
enum Color : std::uint8_t {
    kBlack, kDarkGrey, kGrey, kWhite, kDarkBrown, kBrown, kLightBrown, kDarkGreen,
    kGreen, kLightGreen, kYellow, kOrange, kDarkBlue, kBlue, kLightBlue, kTransparent,
};

const Rgb kColors[16] = {
    {0, 0, 0},      {64, 64, 72},   {150, 150, 160}, {255, 255, 255}, {70, 45, 20},  {120, 80, 40},
    {170, 125, 70}, {20, 80, 25},   {50, 140, 40},   {120, 200, 70},  {255, 220, 40}, {240, 140, 20},
    {20, 30, 110},  {40, 80, 200},  {120, 170, 240}, {0, 0, 0},
};

// Heights of the mountain ridge and the hills at x in 0..1 (0 the bottom, 1 the
// top of the picture).
double Ridge(double x)
{
    const double peaks[3][3] = {{0.30, 0.88, 0.30}, {0.66, 0.74, 0.26}, {0.95, 0.60, 0.22}}; // centre, top, half width
    double h = 0.30;
    for (const auto& p : peaks) h = std::max(h, p[1] - std::fabs(x - p[0]) * (p[1] - 0.30) / p[2] * 0.9);
    return h;
}

double Hills(double x) { return 0.36 + 0.08 * std::sin(x * 7.0 + 0.6) + 0.05 * std::sin(x * 13.0); }

// The colour of pixel (x, y) of a size x size picture, y from the top.
Color Paint(int x, int y, int size)
{
    const double u = (x + 0.5) / size, v = 1.0 - (y + 0.5) / size;
    const double sunX = 0.80, sunY = 0.84, sunR = 0.13;
    const double sun = std::hypot(u - sunX, v - sunY);
    const double hills = Hills(u), ridge = Ridge(u);
    if (v <= hills) {
        // Bands of green, darker towards the front, lit on the rising slopes.
        const double slope = Hills(u + 0.02) - Hills(u - 0.02);
        if (v < 0.10) return kDarkGreen;
        if (v > hills - 0.05) return slope > 0 ? kLightGreen : kGreen;
        return v < 0.22 ? kGreen : (slope > 0 ? kGreen : kDarkGreen);
    }
    if (v <= ridge) {
        // Rock lit from the left: the side rising to the right is the light one.
        const bool lit = Ridge(u + 0.02) >= Ridge(u - 0.02);
        if (v > ridge - 0.12 && ridge > 0.55) return lit ? kWhite : kGrey;
        return lit ? kLightBrown : (v < 0.45 ? kDarkBrown : kBrown);
    }
    if (sun <= sunR) return sun < sunR * 0.6 ? kYellow : kOrange;
    return kTransparent;
}

std::vector<std::uint8_t> Draw(int size)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) pixels[static_cast<std::size_t>(y * size + x)] = Paint(x, y, size);
    }
    // A black line where the sky meets a shape and where the hills meet the
    // mountains, so the picture reads at a glance on any background.
    std::vector<std::uint8_t> outlined = pixels;
    auto at = [&](int x, int y) -> std::uint8_t {
        return x < 0 || y < 0 || x >= size || y >= size ? std::uint8_t{kTransparent} : pixels[static_cast<std::size_t>(y * size + x)];
    };
    auto isHill = [](std::uint8_t c) { return c == kGreen || c == kDarkGreen || c == kLightGreen; };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t c = at(x, y);
            if (c == kTransparent) continue;
            const bool skyAbove = at(x, y - 1) == kTransparent || at(x - 1, y) == kTransparent || at(x + 1, y) == kTransparent;
            const bool hillEdge = isHill(c) && at(x, y - 1) != kTransparent && !isHill(at(x, y - 1));
            if (skyAbove || hillEdge) outlined[static_cast<std::size_t>(y * size + x)] = kBlack;
        }
    }
    return outlined;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image: the header (twice the height: colour rows and mask rows),
// the colour table, 4-bit colour rows and 1-bit mask rows (1: transparent),
// both bottom-up with rows padded to 4 bytes.
std::vector<std::uint8_t> IconImage(int size)
{
    const std::vector<std::uint8_t> pixels = Draw(size);
    const int colorRow = ((size * 4 + 31) / 32) * 4, maskRow = ((size + 31) / 32) * 4;
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(size * 2));
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>((colorRow + maskRow) * size));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (const Rgb& c : kColors) {
        out.push_back(c.blue);
        out.push_back(c.green);
        out.push_back(c.red);
        out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(colorRow), 0);
        for (int x = 0; x < size; ++x) {
            const std::uint8_t c = pixels[static_cast<std::size_t>(y * size + x)];
            const std::uint8_t index = c == kTransparent ? std::uint8_t{kBlack} : c;
            row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskRow), 0);
        for (int x = 0; x < size; ++x) {
            if (pixels[static_cast<std::size_t>(y * size + x)] == kTransparent) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kesmar-icon OUTPUT.ico\n");
        return 2;
    }
    const int sizes[2] = {32, 16};
    std::vector<std::uint8_t> images[2] = {IconImage(sizes[0]), IconImage(sizes[1])};
    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1); // an icon
    Put16(file, 2);
    std::uint32_t offset = 6 + 16 * 2;
    for (int i = 0; i < 2; ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(16); // colours
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 4);
        Put32(file, static_cast<std::uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "kesmar-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "kesmar-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
