// The drawing seam between effect logic and a platform. The Win32 side draws
// through GDI; the software surface (software_surface.h) keeps the pixels in
// memory for tests and the headless renderer; the tracing surface
// (tracing_surface.h) writes one line per call and passes it on.
//
// The frame is the window's client area, pixels (x, y) with 0 <= x < width and
// 0 <= y < height. Coordinates given to the surface are logical: after
// ShiftOrigin(dx, dy) everything lands displaced by (-dx, -dy), and shifts add
// up. Whatever falls outside the frame is clipped.
#pragma once

#include <cstdint>
#include <vector>

struct SurfacePoint {
    int x;
    int y;
};

// The colour of a filled polygon, as the platform's colour values hold it:
// red in bits 0..7, green 8..15, blue 16..23, top byte 0; with the top byte 1
// the low 16 bits are an index into the logical palette in use.
constexpr std::uint32_t kSurfaceBlack = 0;
constexpr std::uint32_t SurfacePaletteIndex(int index) { return 0x01000000u | (static_cast<std::uint32_t>(index) & 0xFFFFu); }

// A logical palette: the colours, as 0x00RRGGBB values, that palette-index
// colours name. `serial` changes whenever the colours do, so a surface that
// turns the palette into a platform object makes it once per palette.
struct SurfacePalette {
    std::vector<std::uint32_t> colors;
    std::uint32_t serial = 0;
};

class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    // Copies a block of width x height pixels, 3 bytes each (blue, green, red),
    // rows stored bottom-up with nothing between them, so that its top-left
    // corner lands at (left, top).
    virtual void PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr) = 0;
    // The same block at 4 bytes a pixel (blue, green, red, and one unused),
    // which lands as its first three bytes would through PutPixelBlock. A
    // surface whose platform takes such pixels as they are overrides this;
    // the others are handed the three bytes (nothing is drawn when there is
    // no memory for them).
    virtual void PutPixelBlock32(int left, int top, int width, int height, const std::uint8_t* bottomUpBgrx)
    {
        if (width <= 0 || height <= 0 || bottomUpBgrx == nullptr) return;
        std::vector<std::uint8_t> bgr;
        try {
            bgr.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        } catch (...) {
            return;
        }
        for (std::size_t i = 0, j = 0; i < bgr.size(); i += 3, j += 4) {
            bgr[i] = bottomUpBgrx[j];
            bgr[i + 1] = bottomUpBgrx[j + 1];
            bgr[i + 2] = bottomUpBgrx[j + 2];
        }
        PutPixelBlock(left, top, width, height, bgr.data());
    }

    // The line from (0, y) to (frame width, y), its end point not drawn.
    virtual void BlackenRow(int y) = 0;
    // The line from (x, 0) to (x, frame height), its end point not drawn.
    virtual void BlackenColumn(int x) = 0;
    // Pixels left <= x < right, top <= y < bottom; empty or inverted draws nothing.
    virtual void FillBlackRect(int left, int top, int right, int bottom) = 0;
    virtual void SetBlackPixel(int x, int y) = 0;
    // The polygon through count points (closed back to the first), its interior
    // filled in color and its outline traced black, one pixel wide.
    virtual void FillPolygon(const SurfacePoint* points, int count, std::uint32_t color) = 0;
    // The sector of the ellipse inscribed in the box that runs counterclockwise
    // on screen from the radial through (x1, y1) to the radial through (x2, y2),
    // interior and outline; both points equal gives the whole ellipse.
    virtual void FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) = 0;
    // A region made of the polygon's interior by the non-zero winding rule (a
    // five-pointed star is solid, its centre included), no outline.
    virtual void FillBlackPolygonRegion(const SurfacePoint* points, int count) = 0;
    // A region made of a rectangle minus the ellipse inscribed in a second box.
    virtual void FillBlackRectMinusEllipse(int left, int top, int right, int bottom,
                                           int ellipseLeft, int ellipseTop, int ellipseRight, int ellipseBottom) = 0;
    // Moves the drawing origin: what is drawn afterwards lands displaced by (-dx, -dy).
    virtual void ShiftOrigin(int dx, int dy) = 0;
    // Makes the palette the one that palette-index colours name from now on
    // (selected and realized, on the platform).
    virtual void SelectPalette(const SurfacePalette& palette) = 0;
};
