// A copy of the screen's top-left pixels in the snapshot layout.
#pragma once

#include <cstdint>
#include <vector>

// Copies the top-left width x height pixels of the screen into picture as
// bottom-up rows of blue, green, red with nothing between them (picture must
// hold width x height x 3 bytes). Returns false, leaving picture as it was,
// when a GDI call fails.
bool CopyScreenPixels(int width, int height, std::vector<std::uint8_t>& picture);
