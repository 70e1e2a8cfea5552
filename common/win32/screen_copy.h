// A copy of the screen's top-left pixels in the snapshot layout.
#pragma once

#include <cstdint>
#include <vector>

// Copies the width x height pixels of the screen from (left, top), in the
// coordinates of the virtual screen, into picture as bottom-up rows of blue,
// green, red with nothing between them (picture must hold width x height x 3
// bytes). Returns false, leaving picture as it was, when a GDI call fails.
bool CopyScreenPixels(int width, int height, std::vector<std::uint8_t>& picture, int left = 0, int top = 0);

// The part of the screen a desktop picture covers: the primary screen, at
// 0, 0 (SM_CXSCREEN x SM_CYSCREEN), or, on a system with several monitors,
// the virtual screen that holds them all (its left and top may be negative).
struct DesktopArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
DesktopArea GetDesktopArea();

// The part of a bottom-up picture of `area` (as CopyScreenPixels gives it)
// that the screen rectangle from (left, top), width x height, covers, in the
// same layout; black where it lies outside the picture.
std::vector<std::uint8_t> CutDesktopPicture(const std::vector<std::uint8_t>& picture, const DesktopArea& area, int left, int top, int width, int height);
