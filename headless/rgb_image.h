// A picture as image files hold it, and the desktop picture the relief saver
// takes from one.
#pragma once

#include <cstdint>
#include <vector>

// Top-down rows, 3 bytes per pixel (red, green, blue), no padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// The desktop picture as the saver takes it: width x height pixels, bottom-up
// rows of blue, green, red, no padding. The image's top-left part is used;
// where the image is smaller the picture is black.
std::vector<std::uint8_t> PictureFromImage(const RgbImage& image, int width, int height);
