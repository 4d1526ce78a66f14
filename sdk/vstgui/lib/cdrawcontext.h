// Software drawing into a 32-bit frame buffer: premultiplied ARGB, source-over compositing,
// one clip rectangle, a coordinate offset and a global alpha. No window system involved.
// Coordinates are the frame's; at a scale s a frame unit is s buffer pixels. Bitmaps are drawn
// from their image for that scale: pixel for pixel where the scales agree, else resampled.
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
	// scale is limited to 1 to 4.
	explicit CDrawContext (CPixelBuffer& buffer, double scale = 1.);

	double getScale () const { return scale; }
	// The rectangle grown to the buffer pixels it touches, in frame coordinates.
	CRect pixelAligned (const CRect& rect) const;

	// The clip rectangle is in frame coordinates; it never exceeds the buffer.
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
	// Draws the bitmap at its size, its point srcOffset at dest's top left, clipped to dest.
	void drawBitmap (const CBitmap& bitmap, const CRect& dest, const CPoint& srcOffset = {});

	// Buffer pixels [left, right) x [top, bottom).
	struct PixelSpan
	{
		int left, top, right, bottom;
	};

	// The buffer pixels the clip rectangle touches.
	PixelSpan clipPixels () const;

private:
	// The pixels whose centres lie in the local rectangle, within the clip.
	PixelSpan toClippedPixels (const CRect& local) const;
	// The pixels the local rectangle touches, within the clip.
	PixelSpan touchedPixels (const CRect& local) const;
	uint32_t alphaByte () const;
	void copyBitmapPixels (const CBitmap& image, int scale, const CRect& dest, const CPoint& srcOffset);
	void resampleBitmap (const CBitmap::ScaledImage& image, const CRect& dest, const CPoint& srcOffset);

	CPixelBuffer& buffer;
	double scale;
	CRect clipRect;
	CPoint offset;
	float globalAlpha {1.f};
};

} // namespace VSTGUI
