// The renderer's --desktop file on any content, for any window of 0..400
// pixels each way (the input's first four bytes, see image_checks.h; the file
// follows). The file is written to a temporary place and read back as the
// renderer reads it. A PNG or BMP must give what its decoder gives; anything
// else is a raw snapshot whose bytes are the picture, black where it ends.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "image_checks.h"

namespace {

std::string TemporaryPath()
{
    static std::string path;
    if (path.empty()) {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/desktop-fuzz-XXXXXX";
        const int fd = mkstemp(&pattern[0]);
        FUZZ_CHECK(fd >= 0);
        close(fd);
        path = pattern;
        std::atexit([] { std::remove(path.c_str()); });
    }
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CroppedFile file = SplitCroppedFile(data, size);
    const std::string path = TemporaryPath();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(out != nullptr);
    FUZZ_CHECK(std::fwrite(file.bytes.data(), 1, file.bytes.size(), out) == file.bytes.size());
    FUZZ_CHECK(std::fclose(out) == 0);

    std::vector<std::uint8_t> picture;
    std::string error;
    const bool ok = LoadDesktopPicture(path, file.width, file.height, picture, error);
    const std::size_t need = static_cast<std::size_t>(file.width) * static_cast<std::size_t>(file.height) * 3;
    if (LooksLikePng(file.bytes) || LooksLikeBmp(file.bytes)) {
        RgbImage image;
        std::string decodeError;
        const bool decoded = LooksLikePng(file.bytes) ? DecodePng(file.bytes, file.width, file.height, image, decodeError)
                                                      : DecodeBmp(file.bytes, file.width, file.height, image, decodeError);
        FUZZ_CHECK(ok == decoded);
        if (ok) FUZZ_CHECK(picture == PictureFromImage(image, file.width, file.height));
        else FUZZ_CHECK(error.find(decodeError) != std::string::npos);
        return 0;
    }
    FUZZ_CHECK(ok);
    FUZZ_CHECK(picture.size() == need);
    const std::size_t copied = std::min(need, file.bytes.size());
    FUZZ_CHECK(std::equal(file.bytes.begin(), file.bytes.begin() + static_cast<std::ptrdiff_t>(copied), picture.begin()));
    for (std::size_t i = copied; i < need; ++i) FUZZ_CHECK(picture[i] == 0);
    return 0;
}
