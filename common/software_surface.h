// A drawing surface in memory: what a window would show, pixel for pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "draw_surface.h"

struct SoftwareSurface : DrawSurface {
    int width = 0;
    int height = 0;
    // Top-down rows, one 0x00RRGGBB value per pixel; starts black.
    std::vector<std::uint32_t> pixels;

    SoftwareSurface(int w, int h);
    std::uint32_t PixelAt(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }

    void PutPixelBlock(int left, int top, int blockWidth, int blockHeight, const std::uint8_t* bottomUpBgr) override;
};
