// A drawing surface in memory: what a window would show, pixel for pixel.
// Rows, columns, rectangles, single pixels and pixel blocks follow the
// platform's pixel rules exactly. Polygons, sectors, ellipses and regions are
// the same shapes as the platform's, sampled the way its regions are
// (polygons and sector sides at a pixel's top-left corner, ellipses at its
// centre, in the box less its right column and bottom row), with polygon and
// sector outlines traced as one-pixel lines; a boundary pixel may still
// differ from the platform's here and there.
#pragma once

#include <cstdint>
#include <vector>

#include "common/draw_surface.h"

struct SoftwareSurface : DrawSurface {
    int width = 0;
    int height = 0;
    // Top-down rows, one 0x00RRGGBB value per pixel; starts black.
    std::vector<std::uint32_t> pixels;
    // The logical palette that palette-index colours refer to, as 0x00RRGGBB
    // values; an index beyond it draws entry 0, or black without a palette.
    std::vector<std::uint32_t> palette;
    std::uint32_t paletteSerial = 0;
    // The sum of all origin shifts.
    int originX = 0;
    int originY = 0;

    SoftwareSurface(int w, int h);
    std::uint32_t PixelAt(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }

    void PutPixelBlock(int left, int top, int blockWidth, int blockHeight, const std::uint8_t* bottomUpBgr) override;
    void BlackenRow(int y) override;
    void BlackenColumn(int x) override;
    void FillBlackRect(int left, int top, int right, int bottom) override;
    void SetBlackPixel(int x, int y) override;
    void FillPolygon(const SurfacePoint* points, int count, std::uint32_t color) override;
    void FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
    void FillBlackPolygonRegion(const SurfacePoint* points, int count) override;
    void FillBlackRectMinusEllipse(int left, int top, int right, int bottom,
                                   int ellipseLeft, int ellipseTop, int ellipseRight, int ellipseBottom) override;
    void ShiftOrigin(int dx, int dy) override;
    void SelectPalette(const SurfacePalette& selected) override;

    // 0x00RRGGBB of a colour value (see draw_surface.h).
    std::uint32_t ResolveColor(std::uint32_t color) const;
};
