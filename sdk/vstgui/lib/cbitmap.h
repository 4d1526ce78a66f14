// A decoded bitmap: premultiplied ARGB pixels (0xAARRGGBB), rows top to bottom.
#pragma once

#include "crect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VSTGUI {

class CBitmap
{
public:
	CBitmap (int width, int height, std::vector<uint32_t> pixels);

	// Decodes a PNG (any colour type, converted to 8-bit RGBA); null if the file is unreadable.
	static std::shared_ptr<CBitmap> loadPNG (const std::string& path);

	int getWidth () const { return width; }
	int getHeight () const { return height; }
	CPoint getSize () const { return {static_cast<CCoord> (width), static_cast<CCoord> (height)}; }
	uint32_t getPixel (int x, int y) const { return pixels[static_cast<size_t> (y) * width + x]; }
	const uint32_t* row (int y) const { return pixels.data () + static_cast<size_t> (y) * width; }

private:
	int width;
	int height;
	std::vector<uint32_t> pixels;
};

using CBitmapPtr = std::shared_ptr<CBitmap>;

} // namespace VSTGUI
