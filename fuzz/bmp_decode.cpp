// The renderer's BMP reader on any file, cut to any window of 0..400 pixels
// each way (see image_checks.h for the input's layout).
#include "image_checks.h"

namespace {

std::uint32_t Le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CroppedFile file = SplitCroppedFile(data, size);
    const std::vector<std::uint8_t>& b = file.bytes;
    // The picture's size as its info header gives it: 16-bit fields in the
    // 12-byte header, signed 32-bit ones (negative height: top-down) in the others.
    std::uint32_t width = 0, height = 0;
    bool sizeKnown = false;
    if (b.size() >= 26) {
        if (Le32(&b[14]) == 12) {
            width = b[18] | b[19] << 8;
            height = b[20] | b[21] << 8;
            sizeKnown = true;
        } else if (b.size() >= 30) {
            const std::int64_t h = static_cast<std::int32_t>(Le32(&b[22]));
            width = Le32(&b[18]);
            height = static_cast<std::uint32_t>(h < 0 ? -h : h);
            sizeKnown = true;
        }
    }
    const RgbImage image = CheckDecoder(DecodeBmp, file, width, height, sizeKnown);
    CheckPictureFromImage(image, file.width, file.height);
    return 0;
}
