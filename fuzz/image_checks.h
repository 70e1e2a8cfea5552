// What the picture decoders' targets share: the crop the input asks for and
// the checks on a decoded image.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "tools/image_io.h"

// The first four bytes of an input give the window the picture is cut to
// (0..400 each way); the file follows.
struct CroppedFile {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;
};

inline CroppedFile SplitCroppedFile(const std::uint8_t* data, std::size_t size)
{
    CroppedFile file;
    if (size < 4) return file;
    file.width = (data[0] | data[1] << 8) % (kFuzzLargestSide + 1);
    file.height = (data[2] | data[3] << 8) % (kFuzzLargestSide + 1);
    file.bytes.assign(data + 4, data + size);
    return file;
}

using Decoder = bool (*)(const std::vector<std::uint8_t>&, int, int, RgbImage&, std::string&);

// Decodes at the window's size and at a smaller one: the smaller image must be
// the top-left corner of the larger, as the decoders promise; a refused file is
// refused either way, with a message and no image. Returns the larger image.
inline RgbImage CheckDecoder(Decoder decode, const CroppedFile& file, std::uint32_t fullWidth, std::uint32_t fullHeight, bool sizeKnown)
{
    RgbImage image;
    std::string error;
    const bool ok = decode(file.bytes, file.width, file.height, image, error);
    if (!ok) {
        FUZZ_CHECK(!error.empty());
        FUZZ_CHECK(image.width == 0 && image.height == 0 && image.rgb.empty());
    } else {
        FUZZ_CHECK(image.width >= 0 && image.width <= file.width && image.height >= 0 && image.height <= file.height);
        FUZZ_CHECK(image.rgb.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3);
        if (sizeKnown) {
            FUZZ_CHECK(static_cast<std::uint32_t>(image.width) == std::min<std::uint32_t>(fullWidth, static_cast<std::uint32_t>(file.width)));
            FUZZ_CHECK(static_cast<std::uint32_t>(image.height) == std::min<std::uint32_t>(fullHeight, static_cast<std::uint32_t>(file.height)));
        }
    }
    const int smallWidth = file.width / 2, smallHeight = file.height - file.height / 3;
    RgbImage corner;
    std::string cornerError;
    const bool cornerOk = decode(file.bytes, smallWidth, smallHeight, corner, cornerError);
    FUZZ_CHECK(cornerOk == ok);
    if (ok) {
        FUZZ_CHECK(corner.width == std::min(image.width, smallWidth) && corner.height == std::min(image.height, smallHeight));
        for (int y = 0; corner.width > 0 && y < corner.height; ++y) {
            const std::size_t row = static_cast<std::size_t>(corner.width) * 3;
            FUZZ_CHECK(std::memcmp(&corner.rgb[static_cast<std::size_t>(y) * row],
                                   &image.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3], row) == 0);
        }
    }
    return image;
}

// The desktop picture made from a decoded image for the window the input
// names: the image's top-left corner in bottom-up rows, black elsewhere.
inline void CheckPictureFromImage(const RgbImage& image, int width, int height)
{
    const std::vector<std::uint8_t> picture = PictureFromImage(image, width, height);
    FUZZ_CHECK(picture.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    if (picture.empty()) return;
    const std::vector<std::uint8_t> black(static_cast<std::size_t>(width) * 3, 0);
    const int shownWidth = std::min(width, image.width);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = &picture[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) * 3];
        const int shown = y < image.height ? shownWidth : 0;
        for (int x = 0; x < shown; ++x) {
            const std::uint8_t* bgr = line + static_cast<std::size_t>(x) * 3;
            const std::uint8_t* rgb = &image.rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 3];
            FUZZ_CHECK(bgr[0] == rgb[2] && bgr[1] == rgb[1] && bgr[2] == rgb[0]);
        }
        const std::size_t rest = static_cast<std::size_t>(width - shown) * 3;
        FUZZ_CHECK(std::memcmp(line + static_cast<std::size_t>(shown) * 3, black.data(), rest) == 0);
    }
}
