#include "cbitmap.h"
#if !defined(_WIN32)
#include "platform/linux/resourcefolder.h"
#endif

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace VSTGUI {

CBitmap::CBitmap (int width, int height, std::vector<uint32_t> pixels)
: width (width), height (height), pixels (std::move (pixels))
{
}

bool CBitmap::addScaledImage (double scale, std::shared_ptr<CBitmap> image)
{
	if (!image || !(scale > 1.) || image->width != std::lround (width * scale) ||
	    image->height != std::lround (height * scale))
		return false;
	auto at = std::find_if (scaledImages.begin (), scaledImages.end (),
	                        [scale] (const auto& entry) { return entry.first >= scale; });
	if (at != scaledImages.end () && at->first == scale)
		at->second = std::move (image);
	else
		scaledImages.emplace (at, scale, std::move (image));
	return true;
}

CBitmap::ScaledImage CBitmap::imageForScale (double frameScale) const
{
	if (frameScale <= 1. || scaledImages.empty ())
		return {1., *this};
	for (const auto& [scale, image] : scaledImages)
		if (scale >= frameScale)
			return {scale, *image};
	return {scaledImages.back ().first, *scaledImages.back ().second};
}

#if !defined(_WIN32)
CBitmapPtr CBitmap::loadPNG (const std::string& path)
{
	const std::optional<std::vector<uint8_t>> bytes = readResourceFile (path, kMaxFileBytes);
	return bytes ? decodePNG (bytes->data (), bytes->size ()) : nullptr;
}
#endif

namespace {

uint32_t bigEndian32 (const uint8_t* p)
{
	return uint32_t (p[0]) << 24 | uint32_t (p[1]) << 16 | uint32_t (p[2]) << 8 | p[3];
}

// Walks the chunks up to the end chunk. Refuses (no value) a file with a chunk whose length
// overruns the data: the decoder would reserve that length, up to 2 GB, before finding the
// data missing. Leaves out empty image-data chunks: they carry nothing, and given an empty one
// first the decoder copies zero bytes to a null buffer, which is undefined behaviour. An empty
// vector means there was nothing to leave out.
std::optional<std::vector<uint8_t>> checkedChunks (const uint8_t* data, size_t size)
{
	constexpr size_t kSignature = 8;
	constexpr size_t kHeader = 8;   // length and type; the decoder acts on a chunk from here
	constexpr size_t kChecksum = 4; // after the data, possibly cut off at the end of the file
	std::vector<uint8_t> kept;
	size_t copiedUpTo = 0;
	for (size_t pos = kSignature; pos + kHeader <= size;)
	{
		const size_t length = bigEndian32 (data + pos);
		if (length > size - pos - kHeader)
			return std::nullopt;
		const uint8_t* type = data + pos + 4;
		if (length == 0 && std::equal (type, type + 4, "IDAT"))
		{
			kept.insert (kept.end (), data + copiedUpTo, data + pos);
			copiedUpTo = std::min (size, pos + kHeader + kChecksum);
		}
		if (std::equal (type, type + 4, "IEND"))
			break;
		pos += kHeader + length + kChecksum;
	}
	if (copiedUpTo > 0)
		kept.insert (kept.end (), data + copiedUpTo, data + size);
	return kept;
}

} // namespace

CBitmapPtr CBitmap::decodePNG (const uint8_t* data, size_t size)
{
	if (data && size > 0)
	{
		const std::optional<std::vector<uint8_t>> checked = checkedChunks (data, size);
		if (!checked)
			return nullptr;
		if (!checked->empty ())
			return decodePNG (checked->data (), checked->size ());
	}
	if (!data || size == 0 || size > static_cast<size_t> (std::numeric_limits<int>::max ()))
		return nullptr;
	const auto* bytes = static_cast<const stbi_uc*> (data);
	const int length = static_cast<int> (size);
	int w = 0;
	int h = 0;
	int channels = 0;
	if (!stbi_info_from_memory (bytes, length, &w, &h, &channels) || w <= 0 || h <= 0 ||
	    w > kMaxSide || h > kMaxSide || int64_t (w) * h > kMaxPixels)
		return nullptr;
	stbi_uc* rgba = stbi_load_from_memory (bytes, length, &w, &h, &channels, 4);
	if (!rgba)
		return nullptr;

	std::vector<uint32_t> pixels (static_cast<size_t> (w) * h);
	for (size_t i = 0; i < pixels.size (); ++i)
	{
		const stbi_uc* p = rgba + i * 4;
		const uint32_t a = p[3];
		auto premultiply = [a] (uint32_t c) { return (c * a + 127) / 255; };
		pixels[i] = (a << 24) | (premultiply (p[0]) << 16) | (premultiply (p[1]) << 8) |
		            premultiply (p[2]);
	}
	stbi_image_free (rgba);
	return std::make_shared<CBitmap> (w, h, std::move (pixels));
}

} // namespace VSTGUI
