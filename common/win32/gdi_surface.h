// The drawing surface on a window, through GDI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/draw_surface.h"

// The logical palette made from a SurfacePalette, kept by the window that
// draws with it from one drawing call to the next, and deleted with it.
struct GdiPaletteHolder {
    using PaletteMaker = HPALETTE(WINAPI*)(const LOGPALETTE*);
    HPALETTE palette = nullptr;
    std::uint32_t serial = 0; // of the SurfacePalette the palette was made from
    // A SurfacePalette whose palette could not be made while an older one was
    // at hand: its scene is drawn in the older one, and making it is not
    // tried again at every step, so the scene keeps one set of colours.
    bool failed = false;
    std::uint32_t failedSerial = 0;
    // CreatePalette, or a test's stand-in.
    PaletteMaker make = &CreatePalette;
    GdiPaletteHolder() = default;
    ~GdiPaletteHolder() { Release(); }
    void Release()
    {
        if (palette != nullptr) DeleteObject(palette);
        palette = nullptr;
        serial = 0;
        failed = false;
    }
    GdiPaletteHolder(const GdiPaletteHolder&) = delete;
    GdiPaletteHolder& operator=(const GdiPaletteHolder&) = delete;
};

// What a window's surfaces keep from one drawing call to the next: the
// logical palette, and the padded rows of a pixel block, allocated once.
struct GdiSurfaceKeep {
    GdiPaletteHolder palettes;
    std::vector<std::uint8_t> rows;
};

class GdiSurface : public DrawSurface {
public:
    // Draws on a device context of the window that the caller holds for the
    // surface's life (the window's private one, for one message). The
    // stock black brush and pen are selected by the first call that draws
    // with them, and the origin kept by the first shift; on destruction the
    // surface selects back the brush, pen and palette it found and puts the
    // drawing origin back where it was. A surface that only puts pixel
    // blocks touches none of them. Palettes are made into `keep`, which outlives the surface
    // (without it, SelectPalette does nothing), and padded rows are kept
    // there too.
    GdiSurface(HWND window, HDC dc, GdiSurfaceKeep* keep = nullptr);
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    // Puts the block on the window with one SetDIBitsToDevice, at the
    // platform's row length (rows padded to a multiple of 4 bytes where they
    // are not already), with the palette selected here realized. A failed
    // call leaves the block undrawn.
    void PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr) override;
    // The same with a 32-bit block, as it is: no padding, and on a display
    // of 32 bits a pixel no conversion either.
    void PutPixelBlock32(int left, int top, int width, int height, const std::uint8_t* bottomUpBgrx) override;
    // MoveToEx and LineTo with the current (black) pen.
    void BlackenRow(int y) override;
    void BlackenColumn(int x) override;
    // FillRect with the stock black brush.
    void FillBlackRect(int left, int top, int right, int bottom) override;
    // SetPixel with colour 0.
    void SetBlackPixel(int x, int y) override;
    // Polygon with a solid brush of the colour (the stock black brush for
    // black). A palette-index colour is drawn only while this surface has a
    // logical palette of its own selected: with the context's default palette
    // the index would name another colour, so the polygon is left undrawn.
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
    // a foreground palette, RealizePalette. When the palette cannot be made,
    // the one made before (the previous scene's) is selected in its place;
    // with none at all nothing is selected and it is tried again next call.
    void SelectPalette(const SurfacePalette& palette) override;

private:
    // Rows of a multiple of 4 bytes, 24 or 32 bits a pixel, with one
    // SetDIBitsToDevice.
    void PutRows(int left, int top, int width, int height, const std::uint8_t* rows, WORD bitCount);

    HWND window_;
    HDC dc_ = nullptr; // held by the caller
    void SelectBlackBrushAndPen();
    bool blackSelected_ = false;
    HGDIOBJ foundBrush_ = nullptr;
    HGDIOBJ foundPen_ = nullptr;
    bool originKept_ = false;
    POINT foundOrigin_{};
    bool haveOrigin_ = false;
    GdiPaletteHolder* palettes_ = nullptr;
    HPALETTE foundPalette_ = nullptr;
    bool paletteSelected_ = false;
    std::vector<std::uint8_t> ownRows_;
    std::vector<std::uint8_t>* paddedRows_; // the keep's, or ownRows_
    std::vector<POINT> points_;             // reused from polygon to polygon
    const POINT* PlatformPoints(const SurfacePoint* points, int count);
    HPALETTE MakePalette(const SurfacePalette& palette) const;
};

// A 24-bit, bottom-up (positive height), uncompressed description.
BITMAPINFO Bitmap24Info(int width, int height);

// Rows of 3 x width bytes, stored one after another, copied to rows of the
// platform's length (a multiple of 4 bytes), and back.
std::size_t PaddedRowLength(int width);
void PadPixelRows(const std::uint8_t* packed, int width, int height, std::vector<std::uint8_t>& padded);
void UnpadPixelRows(const std::uint8_t* padded, int width, int height, std::uint8_t* packed);
