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

CDrawContext::CDrawContext (CPixelBuffer& buffer, double scale)
: buffer (buffer), scale (std::isfinite (scale) ? std::clamp (scale, 1., 4.) : 1.)
{
	setClipRect (CRect (0, 0, buffer.width, buffer.height));
}

namespace {

// Pixel edges from scaled coordinates, forgiving the rounding error of the scaling itself.
constexpr double kEdgeTolerance = 1e-9;

int floorEdge (double v)
{
	return static_cast<int> (std::floor (v + kEdgeTolerance));
}

int ceilEdge (double v)
{
	return static_cast<int> (std::ceil (v - kEdgeTolerance));
}

} // namespace

CRect CDrawContext::pixelAligned (const CRect& rect) const
{
	return CRect (floorEdge (rect.left * scale) / scale, floorEdge (rect.top * scale) / scale,
	              ceilEdge (rect.right * scale) / scale, ceilEdge (rect.bottom * scale) / scale);
}

void CDrawContext::setClipRect (const CRect& clip)
{
	clipRect = clip;
	clipRect.bound (CRect (0, 0, buffer.width / scale, buffer.height / scale));
}

CDrawContext::PixelSpan CDrawContext::clipPixels () const
{
	return {std::max (0, floorEdge (clipRect.left * scale)), std::max (0, floorEdge (clipRect.top * scale)),
	        std::min (buffer.width, ceilEdge (clipRect.right * scale)),
	        std::min (buffer.height, ceilEdge (clipRect.bottom * scale))};
}

namespace {

CDrawContext::PixelSpan intersect (int left, int top, int right, int bottom, const CDrawContext::PixelSpan& clip)
{
	left = std::max (left, clip.left);
	top = std::max (top, clip.top);
	return {left, top, std::max (left, std::min (right, clip.right)), std::max (top, std::min (bottom, clip.bottom))};
}

} // namespace

CDrawContext::PixelSpan CDrawContext::toClippedPixels (const CRect& local) const
{
	CRect r (local);
	r.offset (offset);
	const auto edge = [this] (double v) { return static_cast<int> (std::lround (v * scale)); };
	return intersect (edge (r.left), edge (r.top), edge (r.right), edge (r.bottom), clipPixels ());
}

CDrawContext::PixelSpan CDrawContext::touchedPixels (const CRect& local) const
{
	CRect r (local);
	r.offset (offset);
	return intersect (floorEdge (r.left * scale), floorEdge (r.top * scale), ceilEdge (r.right * scale),
	                  ceilEdge (r.bottom * scale), clipPixels ());
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
	const CBitmap::ScaledImage image = bitmap.imageForScale (scale);
	if (image.scale == scale && image.scale == std::floor (image.scale))
		copyBitmapPixels (image.image, static_cast<int> (image.scale), dest, srcOffset);
	else
		resampleBitmap (image, dest, srcOffset);
}

namespace {

// The part of dest that the bitmap, from its point srcOffset on, covers.
CRect coveredBy (const CBitmap& image, double imageScale, const CRect& dest, const CPoint& srcOffset)
{
	CRect covered (dest.left, dest.top, dest.left + image.getWidth () / imageScale - srcOffset.x,
	               dest.top + image.getHeight () / imageScale - srcOffset.y);
	return covered.bound (dest);
}

} // namespace

void CDrawContext::copyBitmapPixels (const CBitmap& image, int imageScale, const CRect& dest, const CPoint& srcOffset)
{
	// Image pixel (sx, sy) lands on buffer pixel (shiftX + sx, shiftY + sy).
	const PixelSpan s = toClippedPixels (coveredBy (image, imageScale, dest, srcOffset));
	const int shiftX = static_cast<int> (std::lround ((offset.x + dest.left - srcOffset.x) * imageScale));
	const int shiftY = static_cast<int> (std::lround ((offset.y + dest.top - srcOffset.y) * imageScale));
	const uint32_t alpha = alphaByte ();
	for (int y = s.top; y < s.bottom; ++y)
	{
		const int sy = y - shiftY;
		if (sy < 0 || sy >= image.getHeight ())
			continue;
		const uint32_t* src = image.row (sy);
		uint32_t* row = buffer.row (y);
		for (int x = s.left; x < s.right; ++x)
		{
			const int sx = x - shiftX;
			if (sx >= 0 && sx < image.getWidth ())
				row[x] = blendPixel (row[x], src[sx], alpha);
		}
	}
}

namespace {

// The image pixels that make one buffer pixel along one axis, with their weights: a tent filter
// as wide as a buffer pixel is in image pixels (at least one), so that scaling down averages
// every pixel it passes and scaling up interpolates linearly. Image pixels outside the span
// [first, end) count as transparent, which fades the picture's edges as they fall between pixels.
struct Taps
{
	static constexpr int kMax = 8;
	int first {0};
	int count {0};
	float weights[kMax] {};
};

std::vector<Taps> axisTaps (int from, int to, double scale, double origin, double imageScale, int first, int end)
{
	const double radius = std::max (1., imageScale / scale);
	std::vector<Taps> taps (static_cast<size_t> (std::max (0, to - from)));
	for (int p = from; p < to; ++p)
	{
		// The buffer pixel's centre in image pixels, whose centres lie on whole numbers.
		const double centre = ((p + 0.5) / scale - origin) * imageScale - 0.5;
		Taps& t = taps[static_cast<size_t> (p - from)];
		const int lowest = static_cast<int> (std::floor (centre - radius)) + 1;
		double total = 0.;
		double kept[Taps::kMax] {};
		for (int i = 0; i < Taps::kMax; ++i)
		{
			const double w = std::max (0., 1. - std::abs (lowest + i - centre) / radius);
			total += w;
			kept[i] = lowest + i >= first && lowest + i < end ? w : 0.;
		}
		t.first = lowest;
		t.count = Taps::kMax;
		for (int i = 0; i < Taps::kMax; ++i)
			t.weights[i] = total > 0. ? static_cast<float> (kept[i] / total) : 0.f;
	}
	return taps;
}

} // namespace

void CDrawContext::resampleBitmap (const CBitmap::ScaledImage& image, const CRect& dest, const CPoint& srcOffset)
{
	const CBitmap& pixels = image.image;
	const CRect covered = coveredBy (pixels, image.scale, dest, srcOffset);
	const PixelSpan s = touchedPixels (covered);
	if (s.left >= s.right || s.top >= s.bottom)
		return;
	// Only the part of the image that covers dest is sampled (one knob frame of a strip).
	const auto imageEdge = [&] (double v) { return static_cast<int> (std::lround (v * image.scale)); };
	const std::vector<Taps> columns =
	    axisTaps (s.left, s.right, scale, offset.x + dest.left - srcOffset.x, image.scale, imageEdge (srcOffset.x),
	              std::min (pixels.getWidth (), imageEdge (srcOffset.x + covered.getWidth ())));
	const std::vector<Taps> rows =
	    axisTaps (s.top, s.bottom, scale, offset.y + dest.top - srcOffset.y, image.scale, imageEdge (srcOffset.y),
	              std::min (pixels.getHeight (), imageEdge (srcOffset.y + covered.getHeight ())));
	const uint32_t alpha = alphaByte ();
	for (int y = s.top; y < s.bottom; ++y)
	{
		const Taps& ty = rows[static_cast<size_t> (y - s.top)];
		uint32_t* row = buffer.row (y);
		for (int x = s.left; x < s.right; ++x)
		{
			const Taps& tx = columns[static_cast<size_t> (x - s.left)];
			float sum[4] {};
			for (int j = 0; j < ty.count; ++j)
			{
				if (ty.weights[j] == 0.f)
					continue;
				const uint32_t* src = pixels.row (ty.first + j);
				for (int i = 0; i < tx.count; ++i)
				{
					const float w = ty.weights[j] * tx.weights[i];
					if (w == 0.f)
						continue;
					const uint32_t p = src[tx.first + i];
					for (int c = 0; c < 4; ++c)
						sum[c] += w * static_cast<float> ((p >> (8 * c)) & 0xff);
				}
			}
			const auto channel = [&] (int c, uint32_t limit) {
				return std::min (limit, static_cast<uint32_t> (std::lround (std::max (0.f, sum[c]))));
			};
			const uint32_t a = channel (3, 255);
			const uint32_t sampled = a << 24 | channel (2, a) << 16 | channel (1, a) << 8 | channel (0, a);
			row[x] = blendPixel (row[x], sampled, alpha);
		}
	}
}

} // namespace VSTGUI
