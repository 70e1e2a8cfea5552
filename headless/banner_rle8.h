// Run-length encoding of 8-bit device-independent bitmaps (BI_RLE8), as the
// relief saver's banner picture is stored: rows bottom-up, each row ended by
// an end-of-line mark, the last by an end-of-bitmap mark.
#pragma once

#include <cstdint>
#include <vector>

// Encodes width x height palette indices given top-down, row after row.
// Runs of 3 or more equal pixels become (count, index) pairs; other stretches
// of at least 3 pixels become absolute runs (0, count, indices, padding to an
// even length); shorter stretches become runs of 1 or 2.
std::vector<std::uint8_t> EncodeRle8(const std::uint8_t* pixels, int width, int height);

// Decodes an RLE8 stream into width x height indices, top-down; pixels the
// stream skips (end of line, delta) stay 0. Returns false, with what was
// decoded so far, for a stream that is cut short or writes outside the image.
bool DecodeRle8(const std::uint8_t* data, std::size_t size, int width, int height, std::vector<std::uint8_t>& pixels);
