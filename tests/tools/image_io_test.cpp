#include "image_io.h"

#include <gtest/gtest.h>
#include <png.h>

#include <climits>
#include <csetjmp>
#include <functional>

#include "test_files.h"

namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// Colour of test pixel (x, y), y counted from the top.
std::uint32_t TestColor(int x, int y)
{
    return static_cast<std::uint32_t>((((x * 40 + 3) & 0xFF) << 16) | (((y * 50 + 7) & 0xFF) << 8) | ((x * 7 + y * 11 + 1) & 0xFF));
}

struct BmpFields {
    int width = 3;
    int height = 2; // negative: top-down
    int bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    // Palette index of pixel (x, y) for palettized files.
    std::function<int(int, int)> index = [](int x, int y) { return (x + y) % 2; };
};

std::vector<std::uint8_t> MakeBmp(const BmpFields& s)
{
    const int rows = s.height < 0 ? -s.height : s.height;
    const std::size_t stride = (static_cast<std::size_t>(s.width) * s.bits + 31) / 32 * 4;
    const bool masksAfter = s.compression == 3 && s.headerSize == 40;
    const std::size_t paletteAt = 14 + s.headerSize + (masksAfter ? 12 : 0);
    const std::size_t pixelsAt = paletteAt + s.palette.size() * 4;
    std::vector<std::uint8_t> b(pixelsAt + stride * rows, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(pixelsAt));
    Put32(b, 14, s.headerSize);
    Put32(b, 18, static_cast<std::uint32_t>(s.width));
    Put32(b, 22, static_cast<std::uint32_t>(s.height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(s.bits));
    Put32(b, 30, s.compression);
    Put32(b, 46, static_cast<std::uint32_t>(s.palette.size()));
    if (s.compression == 3)
        for (int i = 0; i < 3; ++i) Put32(b, 54 + 4 * i, s.masks[i]);
    for (std::size_t i = 0; i < s.palette.size(); ++i) Put32(b, paletteAt + 4 * i, s.palette[i]);
    for (int y = 0; y < rows; ++y) {
        const int fileRow = s.height < 0 ? y : rows - 1 - y;
        std::uint8_t* row = &b[pixelsAt + fileRow * stride];
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t c = TestColor(x, y);
            if (s.bits == 24 || s.bits == 32) {
                std::uint8_t* p = row + x * (s.bits / 8);
                p[0] = static_cast<std::uint8_t>(c);
                p[1] = static_cast<std::uint8_t>(c >> 8);
                p[2] = static_cast<std::uint8_t>(c >> 16);
                if (s.bits == 32) p[3] = 0x5A; // alpha or padding: ignored
            } else {
                const int i = s.index(x, y);
                if (s.bits == 8) row[x] = static_cast<std::uint8_t>(i);
                else if (s.bits == 4) row[x / 2] = static_cast<std::uint8_t>(row[x / 2] | (i << ((x % 2) ? 0 : 4)));
                else row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | (i << (7 - x % 8)));
            }
        }
    }
    return b;
}

std::uint32_t PixelOf(const RgbImage& img, int x, int y)
{
    const std::uint8_t* p = &img.rgb[(static_cast<std::size_t>(y) * img.width + x) * 3];
    return (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
}

void ExpectTestColors(const RgbImage& img, int width, int height)
{
    ASSERT_EQ(width, img.width);
    ASSERT_EQ(height, img.height);
    ASSERT_EQ(static_cast<std::size_t>(width * height * 3), img.rgb.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) EXPECT_EQ(TestColor(x, y), PixelOf(img, x, y)) << x << "," << y;
}

// A PNG in memory through libpng's full interface, for formats the renderer
// never writes itself. Samples come from sample(x, y, channel).
std::vector<std::uint8_t> EncodePng(int width, int height, int colorType, int bitDepth, bool interlace,
                                    const std::vector<png_color>& palette, const std::function<int(int, int, int)>& sample)
{
    struct Sink {
        static void Write(png_structp png, png_bytep data, png_size_t n)
        {
            auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
            out->insert(out->end(), data, data + n);
        }
        static void Flush(png_structp) {}
    };
    const int channels = colorType == PNG_COLOR_TYPE_RGB ? 3 : colorType == PNG_COLOR_TYPE_RGBA ? 4
                         : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : 1;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * channels * bitDepth + 7) / 8;
    std::vector<std::vector<std::uint8_t>> rows(height, std::vector<std::uint8_t>(rowBytes, 0));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const int v = sample(x, y, c);
                const std::size_t bit = (static_cast<std::size_t>(x) * channels + c) * bitDepth;
                if (bitDepth == 16) {
                    rows[y][bit / 8] = static_cast<std::uint8_t>(v >> 8);
                    rows[y][bit / 8 + 1] = static_cast<std::uint8_t>(v);
                } else {
                    rows[y][bit / 8] = static_cast<std::uint8_t>(rows[y][bit / 8] | (v << (8 - bitDepth - bit % 8)));
                }
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& r : rows) pointers.push_back(r.data());
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "test PNG encoding failed";
        return {};
    }
    png_set_write_fn(png, &out, Sink::Write, Sink::Flush);
    png_set_IHDR(png, info, width, height, bitDepth, colorType, interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> TestRgbPng(int width, int height, bool interlace)
{
    return EncodePng(width, height, PNG_COLOR_TYPE_RGB, 8, interlace, {}, [](int x, int y, int c) {
        return static_cast<int>((TestColor(x, y) >> (16 - 8 * c)) & 0xFF);
    });
}

} // namespace

// --- BMP ----------------------------------------------------------------------

TEST(BmpRead, TrueColourLayouts)
{
    BmpFields s;
    s.width = 3; // 9 bytes a row: 3 bytes of row padding
    s.height = 4;
    RgbImage img;
    std::string error;
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 100, 100, img, error)) << error;
    ExpectTestColors(img, 3, 4);

    s.height = -4; // top-down gives the same image
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 100, 100, img, error)) << error;
    ExpectTestColors(img, 3, 4);

    s.bits = 32;
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 100, 100, img, error)) << error;
    ExpectTestColors(img, 3, 4);

    s.compression = 3; // standard bit fields after a 40-byte header
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 100, 100, img, error)) << error;
    ExpectTestColors(img, 3, 4);

    s.headerSize = 124; // bit fields inside a large header
    s.height = 4;
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 100, 100, img, error)) << error;
    ExpectTestColors(img, 3, 4);
}

TEST(BmpRead, PalettizedDepths)
{
    for (int bits : {1, 4, 8}) {
        BmpFields s;
        s.bits = bits;
        s.width = 13; // odd widths exercise partial bytes and row padding
        s.height = bits == 4 ? -5 : 5;
        const int colors = 1 << bits;
        for (int i = 0; i < colors; ++i) s.palette.push_back(static_cast<std::uint32_t>(i * 0x010203 + 0x102030));
        s.index = [colors](int x, int y) { return (x * 3 + y) % colors; };
        RgbImage img;
        std::string error;
        ASSERT_TRUE(DecodeBmp(MakeBmp(s), 100, 100, img, error)) << bits << ": " << error;
        ASSERT_EQ(13, img.width);
        ASSERT_EQ(5, img.height);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x) ASSERT_EQ(s.palette[(x * 3 + y) % colors], PixelOf(img, x, y)) << bits << " " << x << "," << y;
    }
}

TEST(BmpRead, IndexPastShortPaletteIsBlack)
{
    BmpFields s;
    s.bits = 8;
    s.palette = {0x112233, 0x445566};
    s.index = [](int x, int) { return x == 2 ? 200 : x; };
    RgbImage img;
    std::string error;
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 100, 100, img, error)) << error;
    EXPECT_EQ(0x112233u, PixelOf(img, 0, 0));
    EXPECT_EQ(0x445566u, PixelOf(img, 1, 0));
    EXPECT_EQ(0u, PixelOf(img, 2, 0));
}

TEST(BmpRead, KeepsTopLeftPart)
{
    BmpFields s;
    s.width = 6;
    s.height = 5;
    RgbImage img;
    std::string error;
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 4, 2, img, error)) << error;
    ExpectTestColors(img, 4, 2);
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 0, 0, img, error)) << error;
    EXPECT_TRUE(img.rgb.empty());
    // A window of no width but some height (and the other way round) keeps
    // nothing, without indexing a row of the empty image.
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 0, 3, img, error)) << error;
    EXPECT_EQ(img.width, 0);
    EXPECT_EQ(img.height, 3);
    EXPECT_TRUE(img.rgb.empty());
    ASSERT_TRUE(DecodeBmp(MakeBmp(s), 3, 0, img, error)) << error;
    EXPECT_TRUE(img.rgb.empty());
}

TEST(BmpRead, RefusesUnsupportedKinds)
{
    const struct {
        std::function<void(BmpFields&)> change;
        const char* message;
    } cases[] = {
        {[](BmpFields& s) { s.compression = 1; s.bits = 8; s.palette = {0, 1}; }, "RLE"},
        {[](BmpFields& s) { s.compression = 2; s.bits = 4; s.palette = {0, 1}; }, "RLE"},
        {[](BmpFields& s) { s.compression = 4; }, "compression"},
        {[](BmpFields& s) { s.bits = 16; }, "bit depth"},
        {[](BmpFields& s) { s.compression = 3; }, "bit fields"}, // 24-bit with bit fields
        {[](BmpFields& s) { s.bits = 32; s.compression = 3; s.masks[0] = 0xFF; s.masks[2] = 0xFF0000; }, "masks"},
        {[](BmpFields& s) { s.headerSize = 64; }, "header size"},
        {[](BmpFields& s) { s.width = 0; }, "bad size"},
        {[](BmpFields& s) { s.height = 0; }, "bad size"},
        {[](BmpFields& s) { s.bits = 1; s.palette = {0, 1, 2}; }, "palette"}, // 3 colours for 1 bit
    };
    for (const auto& c : cases) {
        BmpFields s;
        c.change(s);
        RgbImage img;
        std::string error;
        EXPECT_FALSE(DecodeBmp(MakeBmp(s), 100, 100, img, error)) << c.message;
        EXPECT_NE(std::string::npos, error.find(c.message)) << error;
    }
}

TEST(BmpRead, ShortOrLyingHeadersFailSafely)
{
    BmpFields s;
    s.bits = 8;
    s.width = 5;
    s.height = 3;
    s.palette = {0x010203, 0x040506};
    const std::vector<std::uint8_t> good = MakeBmp(s);
    RgbImage img;
    std::string error;
    ASSERT_TRUE(DecodeBmp(good, 100, 100, img, error)) << error;
    // Every truncation is refused (the pixel rows are needed in full).
    for (std::size_t n = 2; n < good.size(); ++n) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(DecodeBmp(cut, 100, 100, img, error)) << n;
        EXPECT_FALSE(error.empty());
    }
    const struct {
        std::size_t at;
        std::uint32_t value;
    } lies[] = {
        {10, 0xFFFFFFF0u},        // pixel data far past the end
        {10, 20},                 // pixel data overlapping the headers
        {14, 0xFFFFFFFFu},        // header size
        {18, 0x7FFFFFFFu},        // width
        {18, 0x80000000u},        // negative width
        {22, 0x7FFFFFFFu},        // height
        {22, 0x80000000u},        // most negative height
        {46, 0xFFFFFFFFu},        // colours used
        {46, 256},                // a full palette that is not there
    };
    for (const auto& lie : lies) {
        std::vector<std::uint8_t> bad = good;
        Put32(bad, lie.at, lie.value);
        EXPECT_FALSE(DecodeBmp(bad, 100, 100, img, error)) << lie.at << " = " << lie.value;
    }
    std::vector<std::uint8_t> planes = good;
    Put16(planes, 26, 0);
    EXPECT_FALSE(DecodeBmp(planes, 100, 100, img, error));
}

// --- PNG ----------------------------------------------------------------------

TEST(PngIo, WriteThenReadRoundTrip)
{
    ScratchDir dir;
    const int w = 37, h = 11;
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) rgb.push_back(static_cast<std::uint8_t>((TestColor(x, y) >> (16 - 8 * c)) & 0xFF));
    std::string error;
    ASSERT_TRUE(WritePng(dir.File("a.png"), w, h, rgb.data(), 2, error)) << error;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(dir.File("a.png"), bytes, error)) << error;
    RgbImage img;
    ASSERT_TRUE(DecodePng(bytes, 1000, 1000, img, error)) << error;
    ExpectTestColors(img, w, h);
    ASSERT_TRUE(DecodePng(bytes, 5, 3, img, error)) << error;
    ExpectTestColors(img, 5, 3);

    EXPECT_FALSE(WritePng(dir.File("missing/sub/a.png"), w, h, rgb.data(), 2, error));
    EXPECT_NE(std::string::npos, error.find("cannot write"));
    EXPECT_FALSE(WritePng(dir.File("b.png"), 0, h, rgb.data(), 2, error));
}

TEST(PngIo, OtherFormatsBecome8BitRgb)
{
    RgbImage img;
    std::string error;
    // Interlaced, cropped on both axes and not.
    for (int crop : {4, 100}) {
        ASSERT_TRUE(DecodePng(TestRgbPng(9, 10, true), crop, crop, img, error)) << error;
        ExpectTestColors(img, std::min(crop, 9), std::min(crop, 10));
    }
    // 16-bit RGBA: high bytes kept, alpha dropped.
    ASSERT_TRUE(DecodePng(EncodePng(2, 1, PNG_COLOR_TYPE_RGBA, 16, false, {},
                                    [](int x, int, int c) { return c == 3 ? 0 : 0x1234 * (c + 1) + x * 0x100; }),
                          10, 10, img, error))
        << error;
    EXPECT_EQ(0x122436u, PixelOf(img, 0, 0));
    EXPECT_EQ(0x132537u, PixelOf(img, 1, 0));
    // 1-bit grey expands to black and white.
    ASSERT_TRUE(DecodePng(EncodePng(3, 1, PNG_COLOR_TYPE_GRAY, 1, false, {}, [](int x, int, int) { return x % 2; }), 10, 10, img,
                          error))
        << error;
    EXPECT_EQ(0u, PixelOf(img, 0, 0));
    EXPECT_EQ(0xFFFFFFu, PixelOf(img, 1, 0));
    // 4-bit palette.
    const std::vector<png_color> palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    ASSERT_TRUE(DecodePng(EncodePng(3, 2, PNG_COLOR_TYPE_PALETTE, 4, false, palette, [](int x, int y, int) { return (x + y) % 3; }),
                          10, 10, img, error))
        << error;
    EXPECT_EQ(0x0A141Eu, PixelOf(img, 0, 0));
    EXPECT_EQ(0x46505Au, PixelOf(img, 1, 1));
}

TEST(PngIo, CorruptFilesFailSafely)
{
    const std::vector<std::uint8_t> good = TestRgbPng(20, 20, false);
    RgbImage img;
    std::string error;
    ASSERT_TRUE(DecodePng(good, 100, 100, img, error)) << error;
    for (std::size_t n = 0; n < good.size(); n += 7) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(DecodePng(cut, 100, 100, img, error)) << n;
        EXPECT_FALSE(error.empty());
    }
    std::vector<std::uint8_t> flipped = good;
    flipped[good.size() / 2] ^= 0x55; // breaks a CRC or the compressed data
    EXPECT_FALSE(DecodePng(flipped, 100, 100, img, error));
}

// --- Desktop pictures -----------------------------------------------------------

TEST(DesktopPicture, FileKindsByContent)
{
    ScratchDir dir;
    std::vector<std::uint8_t> picture;
    std::string error;

    // Raw: a short file leaves the rest black, a long one is cut.
    WriteBytes(dir.File("short.png"), {9, 8, 7, 6});
    ASSERT_TRUE(LoadDesktopPicture(dir.File("short.png"), 2, 1, picture, error)) << error;
    EXPECT_EQ((std::vector<std::uint8_t>{9, 8, 7, 6, 0, 0}), picture);
    WriteBytes(dir.File("long.raw"), {1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_TRUE(LoadDesktopPicture(dir.File("long.raw"), 1, 2, picture, error)) << error;
    EXPECT_EQ((std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}), picture);
    WriteBytes(dir.File("empty"), {});
    ASSERT_TRUE(LoadDesktopPicture(dir.File("empty"), 2, 2, picture, error)) << error;
    EXPECT_EQ(std::vector<std::uint8_t>(12, 0), picture);

    // A BMP named .raw is still a BMP; a 3x4 image on a 2x5 screen.
    BmpFields s;
    s.height = 4;
    WriteBytes(dir.File("image.raw"), MakeBmp(s));
    ASSERT_TRUE(LoadDesktopPicture(dir.File("image.raw"), 2, 5, picture, error)) << error;
    ASSERT_EQ(30u, picture.size());
    EXPECT_EQ(std::vector<std::uint8_t>(6, 0), std::vector<std::uint8_t>(picture.begin(), picture.begin() + 6)); // bottom line
    const std::uint32_t topLeft = TestColor(0, 0);
    EXPECT_EQ(static_cast<std::uint8_t>(topLeft), picture[24]);
    EXPECT_EQ(static_cast<std::uint8_t>(topLeft >> 16), picture[26]);

    WriteBytes(dir.File("p.bmp"), TestRgbPng(4, 4, false));
    ASSERT_TRUE(LoadDesktopPicture(dir.File("p.bmp"), 4, 4, picture, error)) << error;
    EXPECT_EQ(static_cast<std::uint8_t>(TestColor(0, 0) >> 16), picture[3 * 4 * 3 + 2]);

    // Errors name the file.
    WriteBytes(dir.File("bad.bmp"), {'B', 'M', 1, 2, 3});
    EXPECT_FALSE(LoadDesktopPicture(dir.File("bad.bmp"), 2, 2, picture, error));
    EXPECT_NE(std::string::npos, error.find("bad.bmp"));
    EXPECT_FALSE(LoadDesktopPicture(dir.File("none"), 2, 2, picture, error));
    EXPECT_NE(std::string::npos, error.find("none"));
    EXPECT_FALSE(LoadDesktopPicture(dir.Path().string(), 2, 2, picture, error));
    EXPECT_NE(std::string::npos, error.find("directory"));
}
