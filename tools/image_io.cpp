#include "image_io.h"

#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

std::string ErrnoText(int code) { return std::strerror(code); }

// --- libpng glue ------------------------------------------------------------
// libpng reports errors by longjmp. The functions that call setjmp below hold
// only plain pointers and numbers, so the jump skips no destructor; buffers
// are owned by their callers.

struct PngErrorBox {
    char message[200] = "";
};

void OnPngError(png_structp png, png_const_charp message)
{
    auto* box = static_cast<PngErrorBox*>(png_get_error_ptr(png));
    if (box) std::snprintf(box->message, sizeof box->message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

struct MemorySource {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* src = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (count > src->size - src->pos) png_error(png, "file is truncated");
    std::memcpy(out, src->data + src->pos, count);
    src->pos += count;
}

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    MemorySource source;
    PngErrorBox errors;
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct PngLayout {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int passes = 1;
    std::size_t rowBytes = 0;
};

bool ReadPngHeader(PngReader& r, PngLayout& layout)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_set_read_fn(r.png, &r.source, ReadFromMemory);
    png_read_info(r.png, r.info);
    png_set_expand(r.png);      // palette to RGB, gray below 8 bits to 8, tRNS to alpha
    png_set_strip_16(r.png);
    png_set_strip_alpha(r.png);
    png_set_gray_to_rgb(r.png);
    layout.passes = png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    layout.width = png_get_image_width(r.png, r.info);
    layout.height = png_get_image_height(r.png, r.info);
    layout.rowBytes = png_get_rowbytes(r.png, r.info);
    if (png_get_channels(r.png, r.info) != 3 || png_get_bit_depth(r.png, r.info) != 8 ||
        layout.rowBytes != static_cast<std::size_t>(layout.width) * 3) {
        png_error(r.png, "unexpected pixel layout after conversion");
    }
    return true;
}

// Reads every row of every pass through scratch, one whole row, and keeps
// the first cropBytes of the first keepRows rows in out (cropBytes apart). A
// pass of an interlaced image sets only its own pixels of a row, so the row's
// kept bytes go back into scratch before each pass reads it; the rest of the
// row is never used. However wide and tall the image, memory stays one row
// and the kept pixels.
bool ReadPngRows(PngReader& r, const PngLayout& layout, png_uint_32 keepRows, std::uint8_t* scratch, std::uint8_t* out,
                 std::size_t cropBytes)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    const bool interlaced = layout.passes > 1;
    for (int pass = 0; pass < layout.passes; ++pass) {
        for (png_uint_32 y = 0; y < layout.height; ++y) {
            std::uint8_t* kept = y < keepRows && cropBytes > 0 ? out + static_cast<std::size_t>(y) * cropBytes : nullptr;
            if (kept && interlaced) std::memcpy(scratch, kept, cropBytes);
            png_read_row(r.png, scratch, nullptr);
            if (kept) std::memcpy(kept, scratch, cropBytes);
        }
    }
    // The rest of the file is checked too, so a cut or damaged file is refused
    // whatever part of it is used.
    png_read_end(r.png, nullptr);
    return true;
}

bool WritePngCore(std::FILE* file, png_uint_32 width, png_uint_32 height, const std::uint8_t* rgb, int level, PngErrorBox* box)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, box, OnPngError, OnPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (png_uint_32 y = 0; y < height; ++y) {
        png_write_row(png, const_cast<png_bytep>(rgb + static_cast<std::size_t>(y) * stride));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// --- BMP ----------------------------------------------------------------------

std::uint32_t Le16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8); }
std::uint32_t Le32(const std::uint8_t* p) { return Le16(p) | (Le16(p + 2) << 16); }

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

} // namespace

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    bytes.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = "cannot read '" + path + "': " + ErrnoText(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = "cannot read '" + path + "': is a directory";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read '" + path + "': " + ErrnoText(errno);
        return false;
    }
    try {
        std::uint8_t buffer[65536];
        for (;;) {
            const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
            bytes.insert(bytes.end(), buffer, buffer + n);
            if (n < sizeof buffer) break;
        }
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        bytes.clear();
        error = "cannot read '" + path + "': file too large for memory";
        return false;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        bytes.clear();
        error = "cannot read '" + path + "': read error";
        return false;
    }
    return true;
}

bool LooksLikePng(const std::vector<std::uint8_t>& bytes)
{
    static const std::uint8_t kMagic[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return bytes.size() >= 8 && std::equal(kMagic, kMagic + 8, bytes.begin());
}

bool LooksLikeBmp(const std::vector<std::uint8_t>& bytes) { return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M'; }

bool DecodePng(const std::vector<std::uint8_t>& bytes, int maxWidth, int maxHeight, RgbImage& image, std::string& error)
{
    image = RgbImage();
    if (!LooksLikePng(bytes)) {
        error = "not a PNG file";
        return false;
    }
    PngReader r;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r.errors, OnPngError, OnPngWarning);
    if (r.png) r.info = png_create_info_struct(r.png);
    if (!r.png || !r.info) {
        error = "PNG: cannot set up the decoder";
        return false;
    }
    // Text, profile and palette-suggestion chunks are skipped unread: the
    // picture needs none of them, and libpng would allocate each one's stated
    // length (up to 2 GB from a lying length) before finding the file short.
    static const png_byte kSkippedChunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0eXIf\0sPLT";
    png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, 6);
    r.source.data = bytes.data();
    r.source.size = bytes.size();
    PngLayout layout;
    if (!ReadPngHeader(r, layout)) {
        error = std::string("PNG: ") + r.errors.message;
        return false;
    }
    const png_uint_32 cropW = std::min<png_uint_32>(layout.width, static_cast<png_uint_32>(std::max(maxWidth, 0)));
    const png_uint_32 cropH = std::min<png_uint_32>(layout.height, static_cast<png_uint_32>(std::max(maxHeight, 0)));
    try {
        std::vector<std::uint8_t> scratch(layout.rowBytes);
        image.width = static_cast<int>(cropW);
        image.height = static_cast<int>(cropH);
        image.rgb.assign(static_cast<std::size_t>(cropW) * cropH * 3, 0);
        if (!ReadPngRows(r, layout, cropH, scratch.data(), image.rgb.data(), static_cast<std::size_t>(cropW) * 3)) {
            error = std::string("PNG: ") + r.errors.message;
            image = RgbImage();
            return false;
        }
    } catch (const std::bad_alloc&) {
        error = "PNG: image too large for memory";
        image = RgbImage();
        return false;
    }
    return true;
}

bool DecodeBmp(const std::vector<std::uint8_t>& bytes, int maxWidth, int maxHeight, RgbImage& image, std::string& error)
{
    image = RgbImage();
    const std::uint8_t* b = bytes.data();
    const std::size_t size = bytes.size();
    if (!LooksLikeBmp(bytes)) {
        error = "not a BMP file";
        return false;
    }
    if (size < 18) {
        error = "BMP: truncated file header";
        return false;
    }
    const std::uint32_t pixelOffset = Le32(b + 10);
    const std::uint32_t headerSize = Le32(b + 14);
    if (headerSize > size - 14) {
        error = "BMP: truncated info header";
        return false;
    }
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bits = 0, compression = kBiRgb, colorsUsed = 0;
    std::size_t paletteStart = 14 + static_cast<std::size_t>(headerSize);
    std::size_t paletteEntry = 4;
    if (headerSize == 12) {
        // The oldest header: 16-bit unsigned sizes, 3-byte palette entries.
        width = Le16(b + 18);
        height = Le16(b + 20);
        planes = Le16(b + 22);
        bits = Le16(b + 24);
        paletteEntry = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        width = static_cast<std::int32_t>(Le32(b + 18));
        height = static_cast<std::int32_t>(Le32(b + 22));
        planes = Le16(b + 26);
        bits = Le16(b + 28);
        compression = Le32(b + 30);
        colorsUsed = Le32(b + 46);
    } else {
        error = "BMP: unsupported info header size " + std::to_string(headerSize);
        return false;
    }
    if (planes != 1) {
        error = "BMP: plane count " + std::to_string(planes) + " (must be 1)";
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        error = "BMP: unsupported bit depth " + std::to_string(bits);
        return false;
    }
    if (compression == kBiRle8 || compression == kBiRle4) {
        error = "BMP: RLE-compressed files are not supported";
        return false;
    }
    if (compression == kBiBitfields) {
        if (bits != 32) {
            error = "BMP: bit fields with " + std::to_string(bits) + " bits per pixel are not supported";
            return false;
        }
        // A 40-byte header keeps its masks right after it; later headers hold them.
        const std::size_t masksAt = 14 + 40;
        if (headerSize == 40) paletteStart += 12;
        if (masksAt + 12 > size) {
            error = "BMP: truncated colour masks";
            return false;
        }
        if (Le32(b + masksAt) != 0x00FF0000u || Le32(b + masksAt + 4) != 0x0000FF00u || Le32(b + masksAt + 8) != 0x000000FFu) {
            error = "BMP: only the standard 8-8-8 colour masks are supported";
            return false;
        }
    } else if (compression != kBiRgb) {
        error = "BMP: unsupported compression " + std::to_string(compression);
        return false;
    }
    if (width <= 0 || height == 0) {
        error = "BMP: bad size " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    const bool topDown = height < 0;
    const std::uint64_t rows = static_cast<std::uint64_t>(topDown ? -height : height);

    std::size_t paletteCount = 0;
    if (bits <= 8) {
        const std::size_t maxColors = std::size_t{1} << bits;
        paletteCount = colorsUsed == 0 ? maxColors : colorsUsed;
        if (colorsUsed > maxColors) {
            error = "BMP: palette of " + std::to_string(colorsUsed) + " colours for " + std::to_string(bits) + "-bit pixels";
            return false;
        }
    }
    const std::size_t paletteEnd = paletteStart + paletteCount * paletteEntry;
    if (paletteEnd > size) {
        error = "BMP: truncated palette";
        return false;
    }
    if (pixelOffset < paletteEnd || pixelOffset > size) {
        error = "BMP: pixel data offset " + std::to_string(pixelOffset) + " outside the file";
        return false;
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t available = size - pixelOffset;
    if (stride > available || rows > available / stride) {
        error = "BMP: pixel data truncated (" + std::to_string(width) + "x" + std::to_string(rows) + " at " +
                std::to_string(bits) + " bits needs more than the " + std::to_string(available) + " bytes present)";
        return false;
    }

    const int cropW = static_cast<int>(std::min<std::int64_t>(width, std::max(maxWidth, 0)));
    const int cropH = static_cast<int>(std::min<std::uint64_t>(rows, static_cast<std::uint64_t>(std::max(maxHeight, 0))));
    image.width = cropW;
    image.height = cropH;
    image.rgb.assign(static_cast<std::size_t>(cropW) * static_cast<std::size_t>(cropH) * 3, 0);
    // A window of no width keeps no pixel (and no row may be indexed).
    if (cropW == 0 || cropH == 0) return true;
    const std::uint8_t* palette = b + paletteStart;
    for (int y = 0; y < cropH; ++y) {
        const std::uint64_t fileRow = topDown ? static_cast<std::uint64_t>(y) : rows - 1 - static_cast<std::uint64_t>(y);
        const std::uint8_t* row = b + pixelOffset + fileRow * stride;
        std::uint8_t* out = &image.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(cropW) * 3];
        for (int x = 0; x < cropW; ++x, out += 3) {
            const std::uint8_t* bgr = nullptr;
            if (bits == 24) {
                bgr = row + static_cast<std::size_t>(x) * 3;
            } else if (bits == 32) {
                bgr = row + static_cast<std::size_t>(x) * 4;
            } else {
                std::size_t index = 0;
                if (bits == 8) index = row[x];
                else if (bits == 4) index = (row[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
                else index = (row[x / 8] >> (7 - x % 8)) & 0x01;
                // An index past the palette shows black.
                if (index >= paletteCount) continue;
                bgr = palette + index * paletteEntry;
            }
            out[0] = bgr[2];
            out[1] = bgr[1];
            out[2] = bgr[0];
        }
    }
    return true;
}

bool LoadDesktopPicture(const std::string& path, int width, int height, std::vector<std::uint8_t>& picture, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, error)) return false;
    RgbImage image;
    if (LooksLikePng(bytes) || LooksLikeBmp(bytes)) {
        const bool ok = LooksLikePng(bytes) ? DecodePng(bytes, width, height, image, error)
                                            : DecodeBmp(bytes, width, height, image, error);
        if (!ok) {
            error = "'" + path + "': " + error;
            return false;
        }
        picture = PictureFromImage(image, width, height);
        return true;
    }
    const std::size_t need = static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)) * 3;
    picture.assign(need, 0);
    std::copy_n(bytes.begin(), std::min(need, bytes.size()), picture.begin());
    return true;
}

bool WritePng(const std::string& path, int width, int height, const std::uint8_t* rgbTopDown, int compressionLevel, std::string& error)
{
    if (width <= 0 || height <= 0 || rgbTopDown == nullptr) {
        error = "cannot write '" + path + "': empty image";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write '" + path + "': " + ErrnoText(errno);
        return false;
    }
    PngErrorBox box;
    const bool encoded = WritePngCore(file, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), rgbTopDown,
                                      std::min(std::max(compressionLevel, 0), 9), &box);
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !flushed || !closed) {
        error = "cannot write '" + path + "': " + (encoded ? std::string("write error") : box.message[0] ? std::string(box.message) : std::string("encoder failed"));
        std::remove(path.c_str());
        return false;
    }
    return true;
}
