// The drawing surface on a window, through GDI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/draw_surface.h"

class GdiSurface : public DrawSurface {
public:
    // palette: realized in the memory context before drawing, or nullptr.
    GdiSurface(HWND window, HPALETTE palette) : window_(window), palette_(palette) {}

    // Hands the block to SetDIBits at the platform's row length (rows padded to
    // a multiple of 4 bytes) and copies it to the window with BitBlt. A failed
    // call leaves the block undrawn.
    void PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr) override;

private:
    HWND window_;
    HPALETTE palette_;
    std::vector<std::uint8_t> paddedRows_; // reused from frame to frame
};

// A 24-bit, bottom-up (positive height), uncompressed description.
BITMAPINFO Bitmap24Info(int width, int height);

// Rows of 3 x width bytes, stored one after another, copied to rows of the
// platform's length (a multiple of 4 bytes), and back.
std::size_t PaddedRowLength(int width);
void PadPixelRows(const std::uint8_t* packed, int width, int height, std::vector<std::uint8_t>& padded);
void UnpadPixelRows(const std::uint8_t* padded, int width, int height, std::uint8_t* packed);
