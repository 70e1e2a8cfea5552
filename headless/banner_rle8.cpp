#include "banner_rle8.h"

namespace {

int RunLength(const std::uint8_t* row, int at, int width)
{
    int length = 1;
    while (at + length < width && length < 255 && row[at + length] == row[at]) ++length;
    return length;
}

void EncodeRow(const std::uint8_t* row, int width, std::vector<std::uint8_t>& out)
{
    int at = 0;
    while (at < width) {
        const int run = RunLength(row, at, width);
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(run));
            out.push_back(row[at]);
            at += run;
            continue;
        }
        // A stretch without runs of 3, as long as an absolute run may be.
        int end = at;
        while (end < width && end - at < 255 && RunLength(row, end, width) < 3) ++end;
        const int length = end - at;
        if (length >= 3) {
            out.push_back(0);
            out.push_back(static_cast<std::uint8_t>(length));
            out.insert(out.end(), row + at, row + end);
            if (length % 2 != 0) out.push_back(0); // absolute runs end on a 16-bit boundary
            at = end;
        } else {
            // Absolute runs need 3 pixels at least: one or two short runs.
            while (at < end) {
                const int piece = RunLength(row, at, end);
                out.push_back(static_cast<std::uint8_t>(piece));
                out.push_back(row[at]);
                at += piece;
            }
        }
    }
}

} // namespace

std::vector<std::uint8_t> EncodeRle8(const std::uint8_t* pixels, int width, int height)
{
    std::vector<std::uint8_t> out;
    for (int y = height - 1; y >= 0; --y) {
        EncodeRow(pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), width, out);
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0); // end of bitmap after the top row, else end of line
    }
    if (height <= 0) {
        out.push_back(0);
        out.push_back(1);
    }
    return out;
}

bool DecodeRle8(const std::uint8_t* data, std::size_t size, int width, int height, std::vector<std::uint8_t>& pixels)
{
    pixels.assign(static_cast<std::size_t>(width > 0 ? width : 0) * static_cast<std::size_t>(height > 0 ? height : 0), 0);
    int x = 0;
    int line = 0; // counted from the bottom
    std::size_t at = 0;
    auto put = [&](std::uint8_t index) {
        if (x >= width || line >= height) return false;
        pixels[static_cast<std::size_t>(height - 1 - line) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = index;
        ++x;
        return true;
    };
    while (at + 1 < size) {
        const std::uint8_t first = data[at];
        const std::uint8_t second = data[at + 1];
        at += 2;
        if (first != 0) {
            for (int i = 0; i < first; ++i)
                if (!put(second)) return false;
            continue;
        }
        switch (second) {
        case 0: // end of line
            x = 0;
            ++line;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // delta
            if (at + 1 >= size) return false;
            x += data[at];
            line += data[at + 1];
            at += 2;
            break;
        default: { // absolute run
            const std::size_t padded = (second + 1u) & ~std::size_t{1};
            if (at + padded > size) return false;
            for (int i = 0; i < second; ++i)
                if (!put(data[at + static_cast<std::size_t>(i)])) return false;
            at += padded;
            break;
        }
        }
    }
    return false; // no end-of-bitmap mark
}
