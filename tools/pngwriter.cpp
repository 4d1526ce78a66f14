#include "pngwriter.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include <vector>

bool writeRGBAPNG (const std::string& path, int width, int height, const uint32_t* pixels, int strideBytes)
{
	std::vector<unsigned char> rgba (static_cast<size_t> (width) * height * 4);
	for (int y = 0; y < height; ++y)
	{
		const auto* row = reinterpret_cast<const uint32_t*> (reinterpret_cast<const unsigned char*> (pixels) +
		                                                     static_cast<size_t> (y) * strideBytes);
		for (int x = 0; x < width; ++x)
		{
			const uint32_t p = row[x];
			const uint32_t a = p >> 24;
			auto unpremultiply = [a] (uint32_t c) { return a ? (c * 255 + a / 2) / a : 0; };
			unsigned char* out = &rgba[(static_cast<size_t> (y) * width + x) * 4];
			out[0] = static_cast<unsigned char> (unpremultiply ((p >> 16) & 0xff));
			out[1] = static_cast<unsigned char> (unpremultiply ((p >> 8) & 0xff));
			out[2] = static_cast<unsigned char> (unpremultiply (p & 0xff));
			out[3] = static_cast<unsigned char> (a);
		}
	}
	return stbi_write_png (path.c_str (), width, height, 4, rgba.data (), width * 4) != 0;
}
