// The banner's run-length decoder on any stream for any picture size, and
// the encoder and decoder together on any picture. The first four bytes give
// the width and height (each -2..398, negative sizes included); the stream,
// or the picture's indices, follow.
#include "fuzz_support.h"
#include "headless/banner_rle8.h"

#include <vector>

namespace {

constexpr std::size_t kLargestPicture = 20000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    const int width = (data[0] | data[1] << 8) % (kFuzzLargestSide + 1) - 2;
    const int height = (data[2] | data[3] << 8) % (kFuzzLargestSide + 1) - 2;
    const std::uint8_t* stream = data + 4;
    const std::size_t length = size - 4;
    const std::size_t pixelCount = static_cast<std::size_t>(width > 0 ? width : 0) * static_cast<std::size_t>(height > 0 ? height : 0);

    std::vector<std::uint8_t> pixels;
    DecodeRle8(stream, length, width, height, pixels);
    FUZZ_CHECK(pixels.size() == pixelCount);

    // The same bytes as a picture (repeated to fill it) survive encoding; the
    // picture is kept to the banner's order of size so an input stays fast.
    if (length > 0 && width > 0 && height > 0 && pixelCount <= kLargestPicture) {
        std::vector<std::uint8_t> picture(pixelCount);
        for (std::size_t i = 0; i < pixelCount; ++i) picture[i] = stream[i % length];
        const std::vector<std::uint8_t> encoded = EncodeRle8(picture.data(), width, height);
        std::vector<std::uint8_t> decoded;
        FUZZ_CHECK(DecodeRle8(encoded.data(), encoded.size(), width, height, decoded));
        FUZZ_CHECK(decoded == picture);
    }
    return 0;
}
