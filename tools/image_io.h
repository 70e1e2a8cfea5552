// Image files for the headless renderer: PNG read and write, BMP read, and the
// raw snapshot layout. Nothing here throws; every failure comes back as false
// with a one-line message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "headless/rgb_image.h"


// Reads a whole regular file.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

bool LooksLikePng(const std::vector<std::uint8_t>& bytes);
bool LooksLikeBmp(const std::vector<std::uint8_t>& bytes);

// Decoders keep only the image's top-left min(width, maxWidth) x
// min(height, maxHeight) pixels (the whole file is still checked), so a
// large image costs no more memory than the part that is used.
// PNG: any colour type and bit depth, converted to 8-bit RGB; alpha dropped.
bool DecodePng(const std::vector<std::uint8_t>& bytes, int maxWidth, int maxHeight, RgbImage& image, std::string& error);
// BMP: uncompressed 1/4/8-bit palettized, 24-bit, 32-bit (plain or with the
// standard bit fields), bottom-up or top-down. RLE and other kinds are refused.
bool DecodeBmp(const std::vector<std::uint8_t>& bytes, int maxWidth, int maxHeight, RgbImage& image, std::string& error);


// A desktop file by its content: PNG, BMP, or else a raw snapshot whose first
// width x height x 3 bytes are the picture (a shorter file leaves the rest
// black, extra bytes are ignored).
bool LoadDesktopPicture(const std::string& path, int width, int height, std::vector<std::uint8_t>& picture, std::string& error);

// 8-bit RGB, no interlace; rgbTopDown holds width x height x 3 bytes.
// compressionLevel is zlib's 0..9.
bool WritePng(const std::string& path, int width, int height, const std::uint8_t* rgbTopDown, int compressionLevel, std::string& error);
