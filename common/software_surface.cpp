#include "software_surface.h"

#include <algorithm>

SoftwareSurface::SoftwareSurface(int w, int h)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(static_cast<std::size_t>(std::max(w, 0)) * static_cast<std::size_t>(std::max(h, 0)), 0u)
{
}

void SoftwareSurface::PutPixelBlock(int left, int top, int blockWidth, int blockHeight, const std::uint8_t* bottomUpBgr)
{
    if (blockWidth <= 0 || blockHeight <= 0 || bottomUpBgr == nullptr) return;
    const int x0 = std::max(left, 0);
    const int x1 = static_cast<int>(std::min<long long>(static_cast<long long>(left) + blockWidth, width));
    const int y0 = std::max(top, 0);
    const int y1 = static_cast<int>(std::min<long long>(static_cast<long long>(top) + blockHeight, height));
    if (x0 >= x1 || y0 >= y1) return; // wholly outside
    for (int y = y0; y < y1; ++y) {
        // Block row 0 is its bottom line.
        const int blockRow = blockHeight - 1 - (y - top);
        const std::uint8_t* src = bottomUpBgr + (static_cast<std::size_t>(blockRow) * static_cast<std::size_t>(blockWidth) + static_cast<std::size_t>(x0 - left)) * 3;
        std::uint32_t* dst = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x0);
        for (int x = x0; x < x1; ++x, src += 3) {
            *dst++ = static_cast<std::uint32_t>(src[0]) | (static_cast<std::uint32_t>(src[1]) << 8) | (static_cast<std::uint32_t>(src[2]) << 16);
        }
    }
}
