// The renderer's PNG reader on any file, cut to any window of 0..400 pixels
// each way (see image_checks.h for the input's layout). The decoder refuses a
// chunk whose checksum is wrong, so after each mutation the checksums of the
// file's chunks are set right again: mutations then reach the decoder's
// handling of sizes, colour types, bit depths, interlacing and image data
// instead of dying at the first checksum.
#include <zlib.h>

#include "image_checks.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

std::uint32_t Be32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 | static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void FixChunkChecksums(std::uint8_t* file, std::size_t size)
{
    std::size_t at = 8; // after the signature
    while (at + 12 <= size) {
        const std::uint32_t length = Be32(file + at);
        if (length > size - at - 12) break;
        const std::uint32_t crc = static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), file + at + 4, length + 4));
        std::uint8_t* out = file + at + 8 + length;
        out[0] = static_cast<std::uint8_t>(crc >> 24);
        out[1] = static_cast<std::uint8_t>(crc >> 16);
        out[2] = static_cast<std::uint8_t>(crc >> 8);
        out[3] = static_cast<std::uint8_t>(crc);
        at += 12 + length;
    }
}

} // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    // One mutation in eight keeps a wrong checksum, so that path is taken too.
    if (seed % 8 != 0 && size > 4) FixChunkChecksums(data + 4, size - 4);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CroppedFile file = SplitCroppedFile(data, size);
    const std::vector<std::uint8_t>& b = file.bytes;
    const bool haveHeader = b.size() >= 24 && std::memcmp(&b[12], "IHDR", 4) == 0;
    const RgbImage image = CheckDecoder(DecodePng, file, haveHeader ? Be32(&b[16]) : 0, haveHeader ? Be32(&b[20]) : 0, haveHeader);
    CheckPictureFromImage(image, file.width, file.height);
    return 0;
}
