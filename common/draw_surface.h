// The drawing seam between effect logic and a platform. The Win32 side draws
// through GDI; the software surface (software_surface.h) keeps the pixels in
// memory for tests and the headless renderer.
#pragma once

#include <cstdint>

class DrawSurface {
public:
    virtual ~DrawSurface() = default;
    // Copies a block of width x height pixels, 3 bytes each (blue, green, red),
    // rows stored bottom-up with nothing between them, so that its top-left
    // corner lands at (left, top). Parts outside the surface are clipped.
    virtual void PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr) = 0;
};
