// A decoded bitmap: premultiplied ARGB pixels (0xAARRGGBB), rows top to bottom. Its size is
// that of its scale-1 image, in frame coordinates; it may also hold images of the same picture
// at higher scales (from files named "name#2x.png"), for frames drawn at those scales.
#pragma once

#include "crect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace VSTGUI {

class CBitmap
{
public:
	CBitmap (int width, int height, std::vector<uint32_t> pixels);

	// Bitmaps beyond these are refused before decoding: no editor needs them, and a corrupt
	// header must not make the decoder reserve gigabytes.
	static constexpr int kMaxSide = 16384;
	static constexpr int64_t kMaxPixels = int64_t (1) << 24;
	// Files beyond this are not read. A PNG of kMaxPixels at 16 bits per RGBA channel needs 8
	// bytes a pixel even stored uncompressed; the further eighth of a byte a pixel (2 MiB) covers
	// the row filter bytes, the framing of stored deflate blocks and of the chunks, and the
	// ancillary chunks.
	static constexpr size_t kMaxFileBytes = static_cast<size_t> (kMaxPixels) * 8 + kMaxPixels / 8;

	// Decodes a PNG (any colour type, converted to 8-bit RGBA); null if the file is not a
	// readable regular file of at most kMaxFileBytes (see readResourceFile), not a PNG or too
	// large. Called on the UI thread, as the editor is made.
#if !defined(_WIN32)
	static std::shared_ptr<CBitmap> loadPNG (const std::string& path);
#endif
	static std::shared_ptr<CBitmap> decodePNG (const uint8_t* data, size_t size);

	// Keeps image as this bitmap's picture at scale (above 1), if its sides are those of the
	// scale-1 image times scale, rounded; false (nothing kept) otherwise.
	bool addScaledImage (double scale, std::shared_ptr<CBitmap> image);
	struct ScaledImage
	{
		double scale;
		const CBitmap& image;
	};
	// The image to draw at a frame scale: the smallest at that scale or above, else the largest.
	ScaledImage imageForScale (double frameScale) const;

	int getWidth () const { return width; }
	int getHeight () const { return height; }
	CPoint getSize () const { return {static_cast<CCoord> (width), static_cast<CCoord> (height)}; }
	uint32_t getPixel (int x, int y) const { return pixels[static_cast<size_t> (y) * width + x]; }
	const uint32_t* row (int y) const { return pixels.data () + static_cast<size_t> (y) * width; }

private:
	int width;
	int height;
	std::vector<uint32_t> pixels;
	// Ascending by scale, all above 1.
	std::vector<std::pair<double, std::shared_ptr<CBitmap>>> scaledImages;
};

using CBitmapPtr = std::shared_ptr<CBitmap>;

} // namespace VSTGUI
