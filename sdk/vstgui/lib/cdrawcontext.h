// Software drawing into a 32-bit frame buffer: premultiplied ARGB, source-over compositing,
// one clip rectangle, a coordinate offset and a global alpha. No window system involved.
#pragma once

#include "cbitmap.h"
#include "ccolor.h"
#include "crect.h"

#include <cstdint>
#include <vector>

namespace VSTGUI {

struct CPixelBuffer
{
	int width {0};
	int height {0};
	std::vector<uint32_t> pixels;

	CPixelBuffer () = default;
	CPixelBuffer (int w, int h) : width (w), height (h), pixels (static_cast<size_t> (w) * h, 0) {}
	uint32_t at (int x, int y) const { return pixels[static_cast<size_t> (y) * width + x]; }
	uint32_t* row (int y) { return pixels.data () + static_cast<size_t> (y) * width; }
};

// Composites a premultiplied source pixel, scaled by alpha (0..255), over a destination pixel.
uint32_t blendPixel (uint32_t dst, uint32_t src, uint32_t alpha);

class CDrawContext
{
public:
	explicit CDrawContext (CPixelBuffer& buffer);

	// The clip rectangle is in buffer coordinates; it never exceeds the buffer.
	void setClipRect (const CRect& clip);
	const CRect& getClipRect () const { return clipRect; }

	// Drawing coordinates are local: offset plus the given coordinates gives buffer pixels.
	void setOffset (const CPoint& o) { offset = o; }
	const CPoint& getOffset () const { return offset; }

	void setGlobalAlpha (float alpha) { globalAlpha = alpha; }
	float getGlobalAlpha () const { return globalAlpha; }

	// Sets the pixels to fully transparent black, ignoring the global alpha.
	void clearRect (const CRect& rect);
	void fillRect (const CRect& rect, const CColor& color);
	void frameRect (const CRect& rect, const CColor& color);
	// Draws the bitmap unscaled, its pixel srcOffset at dest's top left, clipped to dest.
	void drawBitmap (const CBitmap& bitmap, const CRect& dest, const CPoint& srcOffset = {});

private:
	struct PixelSpan
	{
		int left, top, right, bottom;
	};
	PixelSpan toClippedPixels (const CRect& local) const;
	uint32_t alphaByte () const;

	CPixelBuffer& buffer;
	CRect clipRect;
	CPoint offset;
	float globalAlpha {1.f};
};

} // namespace VSTGUI
