#include "cdrawcontext.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

namespace {

inline uint32_t mul255 (uint32_t a, uint32_t b)
{
	const uint32_t t = a * b + 128;
	return (t + (t >> 8)) >> 8;
}

inline uint32_t premultipliedColor (const CColor& c)
{
	return (uint32_t (c.alpha) << 24) | (mul255 (c.red, c.alpha) << 16) |
	       (mul255 (c.green, c.alpha) << 8) | mul255 (c.blue, c.alpha);
}

} // namespace

uint32_t blendPixel (uint32_t dst, uint32_t src, uint32_t alpha)
{
	if (alpha == 255 && (src >> 24) == 255)
		return src;
	uint32_t out = 0;
	const uint32_t srcAlpha = mul255 (src >> 24, alpha);
	const uint32_t keep = 255 - srcAlpha;
	for (int shift = 0; shift < 32; shift += 8)
	{
		const uint32_t s = mul255 ((src >> shift) & 0xff, alpha);
		const uint32_t d = mul255 ((dst >> shift) & 0xff, keep);
		out |= std::min<uint32_t> (255, s + d) << shift;
	}
	return out;
}

CDrawContext::CDrawContext (CPixelBuffer& buffer)
: buffer (buffer), clipRect (0, 0, buffer.width, buffer.height)
{
}

void CDrawContext::setClipRect (const CRect& clip)
{
	clipRect = clip;
	clipRect.bound (CRect (0, 0, buffer.width, buffer.height));
}

CDrawContext::PixelSpan CDrawContext::toClippedPixels (const CRect& local) const
{
	CRect r (local);
	r.offset (offset);
	r.bound (clipRect);
	return {static_cast<int> (std::lround (r.left)), static_cast<int> (std::lround (r.top)),
	        static_cast<int> (std::lround (r.right)), static_cast<int> (std::lround (r.bottom))};
}

uint32_t CDrawContext::alphaByte () const
{
	const float a = std::max (0.f, std::min (1.f, globalAlpha));
	return static_cast<uint32_t> (std::lround (a * 255.f));
}

void CDrawContext::clearRect (const CRect& rect)
{
	const PixelSpan s = toClippedPixels (rect);
	for (int y = s.top; y < s.bottom; ++y)
		std::fill (buffer.row (y) + s.left, buffer.row (y) + s.right, 0u);
}

void CDrawContext::fillRect (const CRect& rect, const CColor& color)
{
	const PixelSpan s = toClippedPixels (rect);
	const uint32_t src = premultipliedColor (color);
	const uint32_t alpha = alphaByte ();
	for (int y = s.top; y < s.bottom; ++y)
	{
		uint32_t* row = buffer.row (y);
		for (int x = s.left; x < s.right; ++x)
			row[x] = blendPixel (row[x], src, alpha);
	}
}

void CDrawContext::frameRect (const CRect& rect, const CColor& color)
{
	// A 1-pixel aliased outline along the inside of the rectangle.
	fillRect (CRect (rect.left, rect.top, rect.right, rect.top + 1), color);
	fillRect (CRect (rect.left, rect.bottom - 1, rect.right, rect.bottom), color);
	fillRect (CRect (rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1), color);
	fillRect (CRect (rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1), color);
}

void CDrawContext::drawBitmap (const CBitmap& bitmap, const CRect& dest, const CPoint& srcOffset)
{
	// Source pixel (sx, sy) lands on destination pixel (dest.left + sx - srcOffset.x, ...).
	CRect covered (dest.left, dest.top, dest.left + bitmap.getWidth () - srcOffset.x,
	               dest.top + bitmap.getHeight () - srcOffset.y);
	covered.bound (dest);
	const PixelSpan s = toClippedPixels (covered);
	const int shiftX = static_cast<int> (std::lround (offset.x + dest.left - srcOffset.x));
	const int shiftY = static_cast<int> (std::lround (offset.y + dest.top - srcOffset.y));
	const uint32_t alpha = alphaByte ();
	for (int y = s.top; y < s.bottom; ++y)
	{
		const int sy = y - shiftY;
		if (sy < 0 || sy >= bitmap.getHeight ())
			continue;
		const uint32_t* src = bitmap.row (sy);
		uint32_t* row = buffer.row (y);
		for (int x = s.left; x < s.right; ++x)
		{
			const int sx = x - shiftX;
			if (sx >= 0 && sx < bitmap.getWidth ())
				row[x] = blendPixel (row[x], src[sx], alpha);
		}
	}
}

} // namespace VSTGUI
