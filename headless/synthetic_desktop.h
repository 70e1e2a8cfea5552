// A made-up desktop picture for renders without a screen copy: wallpaper with
// hills, a column of labelled icons, three overlapping application windows
// with title bars, buttons and lines of text, and a taskbar. Text is drawn
// with a small built-in 5x7 bitmap font so the relief shows real letter
// shapes. Everything scales with the picture size and is clipped to it, so any
// size from 0x0 up is safe; the result depends on the size only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "headless/rgb_image.h"

// The desktop at width x height as a top-down RGB image (negative sizes count as 0).
RgbImage MakeSyntheticDesktop(int width, int height);

// The same desktop in the saver's picture layout: bottom-up rows of blue,
// green, red, width x height x 3 bytes.
std::vector<std::uint8_t> SyntheticDesktopPicture(int width, int height);

// The font's 7 rows for a character, bits 4..0 being the columns left to
// right. Lower-case letters use the capitals; characters without a glyph give
// false (they are drawn as blanks).
bool FontGlyph(char c, std::uint8_t rows[7]);
