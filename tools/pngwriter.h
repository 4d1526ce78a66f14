// Writes premultiplied ARGB32 pixels (cairo's and the editor's frame buffer format) as an
// 8-bit RGBA PNG (colour type 6, not interlaced), even when every pixel is opaque.
#pragma once

#include <cstdint>
#include <string>

bool writeRGBAPNG (const std::string& path, int width, int height, const uint32_t* pixels, int strideBytes);
