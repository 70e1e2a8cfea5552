#include "rgb_image.h"

#include <algorithm>
#include <cstddef>

std::vector<std::uint8_t> PictureFromImage(const RgbImage& image, int width, int height)
{
    const int w = std::max(width, 0), h = std::max(height, 0);
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, 0);
    const int cw = std::min(w, image.width), ch = std::min(h, image.height);
    if (cw <= 0 || ch <= 0 || image.rgb.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3)
        return picture;
    for (int y = 0; y < ch; ++y) {
        const std::uint8_t* src = &image.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3];
        // Picture row 0 is the bottom screen line.
        std::uint8_t* dst = &picture[static_cast<std::size_t>(h - 1 - y) * static_cast<std::size_t>(w) * 3];
        for (int x = 0; x < cw; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return picture;
}
