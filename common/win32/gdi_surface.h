// The drawing surface on a window, through GDI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/draw_surface.h"

// The logical palette made from a SurfacePalette, kept by the window that
// draws with it from one drawing call to the next, and deleted with it.
struct GdiPaletteHolder {
    HPALETTE palette = nullptr;
    std::uint32_t serial = 0;
    GdiPaletteHolder() = default;
    ~GdiPaletteHolder() { Release(); }
    void Release()
    {
        if (palette != nullptr) DeleteObject(palette);
        palette = nullptr;
    }
    GdiPaletteHolder(const GdiPaletteHolder&) = delete;
    GdiPaletteHolder& operator=(const GdiPaletteHolder&) = delete;
};

class GdiSurface : public DrawSurface {
public:
    // Draws on the window, each call taking the window's device context for
    // itself. palette: realized in that context before a pixel block is drawn,
    // or nullptr.
    GdiSurface(HWND window, HPALETTE palette);
    // Draws on a device context of the window that the caller holds for the
    // surface's life (the window's private one, for a wipe or a scene step).
    // Selects the stock black brush and pen; on destruction it selects back
    // the brush, pen and palette it found and puts the drawing origin back
    // where it was. Palettes are made into `palettes`, which outlives the
    // surface (without it, SelectPalette does nothing).
    GdiSurface(HWND window, HDC dc, GdiPaletteHolder* palettes = nullptr);
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    // Puts the block on the window with one SetDIBitsToDevice, at the
    // platform's row length (rows padded to a multiple of 4 bytes where they
    // are not already). A failed call leaves the block undrawn.
    void PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr) override;
    // MoveToEx and LineTo with the current (black) pen.
    void BlackenRow(int y) override;
    void BlackenColumn(int x) override;
    // FillRect with the stock black brush.
    void FillBlackRect(int left, int top, int right, int bottom) override;
    // SetPixel with colour 0.
    void SetBlackPixel(int x, int y) override;
    // Polygon with a solid brush of the colour (the stock black brush for black).
    void FillPolygon(const SurfacePoint* points, int count, std::uint32_t color) override;
    // Pie with the stock black brush.
    void FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
    // CreatePolygonRgn (WINDING) and FillRgn with the stock black brush.
    void FillBlackPolygonRegion(const SurfacePoint* points, int count) override;
    // CreateRectRgn minus CreateEllipticRgn (CombineRgn RGN_DIFF), FillRgn.
    void FillBlackRectMinusEllipse(int left, int top, int right, int bottom,
                                   int ellipseLeft, int ellipseTop, int ellipseRight, int ellipseBottom) override;
    // OffsetWindowOrgEx.
    void ShiftOrigin(int dx, int dy) override;
    // CreatePalette (once per palette, entries PC_RESERVED), SelectPalette as
    // a foreground palette, RealizePalette.
    void SelectPalette(const SurfacePalette& palette) override;

private:
    HWND window_;
    HPALETTE palette_ = nullptr;
    HDC dc_ = nullptr; // held by the caller, or nullptr
    HGDIOBJ foundBrush_ = nullptr;
    HGDIOBJ foundPen_ = nullptr;
    POINT foundOrigin_{};
    bool haveOrigin_ = false;
    GdiPaletteHolder* palettes_ = nullptr;
    HPALETTE foundPalette_ = nullptr;
    bool paletteSelected_ = false;
    std::vector<std::uint8_t> paddedRows_; // reused from frame to frame
    std::vector<POINT> points_;            // reused from polygon to polygon
    const POINT* PlatformPoints(const SurfacePoint* points, int count);
};

// A 24-bit, bottom-up (positive height), uncompressed description.
BITMAPINFO Bitmap24Info(int width, int height);

// Rows of 3 x width bytes, stored one after another, copied to rows of the
// platform's length (a multiple of 4 bytes), and back.
std::size_t PaddedRowLength(int width);
void PadPixelRows(const std::uint8_t* packed, int width, int height, std::vector<std::uint8_t>& padded);
void UnpadPixelRows(const std::uint8_t* padded, int width, int height, std::uint8_t* packed);
