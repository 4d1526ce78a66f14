// The editor's bitmap decoder on arbitrary bytes: either no bitmap, or one within the size
// limits whose every pixel is premultiplied (no colour channel above its alpha).
#include "fuzzcheck.h"

#include "vstgui/lib/cbitmap.h"

using namespace VSTGUI;
using namespace kt3fuzz;

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	const CBitmapPtr bitmap = CBitmap::decodePNG (data, size);
	if (!bitmap)
		return 0;
	const int w = bitmap->getWidth ();
	const int h = bitmap->getHeight ();
	require (w > 0 && h > 0 && w <= CBitmap::kMaxSide && h <= CBitmap::kMaxSide &&
	             int64_t (w) * h <= CBitmap::kMaxPixels,
	         "a decoded bitmap is within the size limits");
	for (int y = 0; y < h; ++y)
	{
		const uint32_t* row = bitmap->row (y);
		for (int x = 0; x < w; ++x)
		{
			const uint32_t alpha = row[x] >> 24;
			for (int shift = 0; shift < 24; shift += 8)
				require (((row[x] >> shift) & 0xff) <= alpha, "pixels are premultiplied");
		}
	}
	return 0;
}
