// The PNGs: their format at both scales, the knob strip's frame layout and what the frames
// show, the plain panel and the readout glyphs' cells.
#include "panelartwork.h"
#include "vstgui/lib/cbitmap.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

using namespace VSTGUI;
namespace Artwork = Steinberg::Vst::Orvix::PanelArtwork;

namespace {

constexpr double kPI = 3.14159265358979323846;
constexpr double kKnobCentresX[] = {58., 138., 220.};

struct PngHeader
{
	uint32_t width {0};
	uint32_t height {0};
	int bitDepth {-1};
	int colourType {-1};
	int interlace {-1};
};

// The IHDR chunk, which a PNG must carry first.
PngHeader readHeader (const std::string& path)
{
	std::ifstream in (path, std::ios::binary);
	std::vector<unsigned char> b (33);
	in.read (reinterpret_cast<char*> (b.data ()), 33);
	PngHeader h;
	const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
	if (!in || !std::equal (signature, signature + 8, b.begin ()) || std::string (b.begin () + 12, b.begin () + 16) != "IHDR")
		return h;
	auto be32 = [&] (size_t i) { return uint32_t (b[i]) << 24 | uint32_t (b[i + 1]) << 16 | uint32_t (b[i + 2]) << 8 | b[i + 3]; };
	h.width = be32 (16);
	h.height = be32 (20);
	h.bitDepth = b[24];
	h.colourType = b[25];
	h.interlace = b[28];
	return h;
}

std::string resource (const std::string& name)
{
	return std::string (KT3_RESOURCES_DIR) + "/" + name;
}

// The bitmap's file at scale 1 or 2 ("name.png", "name#2x.png").
std::string resource (const std::string& name, int scale)
{
	return resource (name + (scale == 1 ? "" : "#" + std::to_string (scale) + "x") + ".png");
}

uint32_t alphaOf (uint32_t p)
{
	return p >> 24;
}

// A pixel of knob frame `frame` at distance r from the centre, in the direction of `degrees`
// (clockwise on screen from three o'clock).
uint32_t knobPixel (const CBitmap& strip, int frame, double degrees, double r)
{
	const double a = degrees / 180. * kPI;
	const int x = static_cast<int> (std::lround (31.5 + r * std::cos (a)));
	const int y = static_cast<int> (std::lround (31.5 + r * std::sin (a)));
	return strip.getPixel (x, frame * 64 + y);
}

bool isLight (uint32_t p)
{
	return alphaOf (p) > 200 && ((p >> 16) & 0xff) > 140 && ((p >> 8) & 0xff) > 140 && (p & 0xff) > 140;
}

// A well-formed one-channel PNG of that size, encoded in memory.
std::vector<uint8_t> greyPng (int width, int height)
{
	const std::vector<uint8_t> pixels (static_cast<size_t> (width) * height, 0x80);
	std::vector<uint8_t> png;
	auto append = [] (void* to, void* data, int size) {
		auto* bytes = static_cast<uint8_t*> (data);
		static_cast<std::vector<uint8_t>*> (to)->insert (static_cast<std::vector<uint8_t>*> (to)->end (), bytes, bytes + size);
	};
	stbi_write_png_to_func (append, &png, width, height, 1, pixels.data (), width);
	return png;
}

} // namespace

TEST (EditorBitmaps, EightBitRGBANotInterlacedAtBothScales)
{
	const std::pair<const char*, std::pair<uint32_t, uint32_t>> files[] = {
	    {"kt3", {281, 232}},
	    {"kt3_plain", {281, 232}},
	    {"knob_kt3", {64, 6464}},
	    {"about_kt3", {230, 200}},
	    {"readout_kt3", {Artwork::kGlyphCount * 16, 18}}};
	for (const auto& [name, size] : files)
		for (const uint32_t scale : {1u, 2u})
		{
			SCOPED_TRACE (resource (name, scale));
			const PngHeader h = readHeader (resource (name, scale));
			EXPECT_EQ (h.width, size.first * scale);
			EXPECT_EQ (h.height, size.second * scale);
			EXPECT_EQ (h.bitDepth, 8);
			EXPECT_EQ (h.colourType, 6);
			EXPECT_EQ (h.interlace, 0);
		}
}

// The readouts show the plain panel in place of the knobs' letters, so it must equal the
// panel everywhere else, and differ under each readout, where a letter stands.
TEST (EditorBitmaps, PlainPanelDiffersFromThePanelOnlyUnderTheReadouts)
{
	for (const int scale : {1, 2})
	{
		SCOPED_TRACE (scale);
		const CBitmapPtr panel = CBitmap::loadPNG (resource ("kt3", scale));
		const CBitmapPtr plain = CBitmap::loadPNG (resource ("kt3_plain", scale));
		ASSERT_TRUE (panel && plain);
		ASSERT_EQ (plain->getWidth (), panel->getWidth ());
		ASSERT_EQ (plain->getHeight (), panel->getHeight ());
		int changed[3] = {};
		for (int y = 0; y < panel->getHeight (); ++y)
			for (int x = 0; x < panel->getWidth (); ++x)
			{
				if (panel->getPixel (x, y) == plain->getPixel (x, y))
					continue;
				const double top = double (y) / scale, bottom = double (y + 1) / scale;
				const double left = double (x) / scale, right = double (x + 1) / scale;
				int under = -1;
				for (int k = 0; k < 3; ++k)
					if (top >= Artwork::kReadoutTop && bottom <= Artwork::kReadoutTop + Artwork::kReadoutHeight &&
					    left >= kKnobCentresX[k] - Artwork::kReadoutWidth / 2 &&
					    right <= kKnobCentresX[k] + Artwork::kReadoutWidth / 2)
						under = k;
				ASSERT_GE (under, 0) << "differs outside the readouts at " << x << ", " << y;
				++changed[under];
			}
		for (const int count : changed)
			EXPECT_GT (count, 10);
	}
}

// One cell a glyph: the space's is empty; every other glyph's ink starts kGlyphInset from the
// cell's left edge and leaves the cell's last column clear (nothing was cut off at its edge).
TEST (EditorBitmaps, ReadoutGlyphsStartAtTheInsetAndStayInTheirCells)
{
	for (const int scale : {1, 2})
	{
		SCOPED_TRACE (scale);
		const CBitmapPtr atlas = CBitmap::loadPNG (resource ("readout_kt3", scale));
		ASSERT_NE (atlas, nullptr);
		const int cell = static_cast<int> (Artwork::kGlyphCellWidth) * scale;
		ASSERT_EQ (atlas->getWidth (), Artwork::kGlyphCount * cell);
		for (int g = 0; g < Artwork::kGlyphCount; ++g)
		{
			const char glyph = static_cast<char> (Artwork::kFirstGlyph + g);
			int first = -1, last = -1;
			for (int x = 0; x < cell; ++x)
				for (int y = 0; y < atlas->getHeight (); ++y)
					if (alphaOf (atlas->getPixel (g * cell + x, y)) != 0)
					{
						first = first < 0 ? x : first;
						last = x;
					}
			if (glyph == ' ')
				EXPECT_EQ (first, -1);
			else
			{
				EXPECT_EQ (first, static_cast<int> (Artwork::kGlyphInset) * scale) << glyph;
				EXPECT_LT (last, cell - 1) << glyph;
			}
		}
	}
}

TEST (EditorBitmaps, PanelIsOpaqueWithItsFrameAndGradient)
{
	CBitmapPtr panel = CBitmap::loadPNG (resource ("kt3.png"));
	ASSERT_NE (panel, nullptr);
	for (int y = 0; y < panel->getHeight (); ++y)
		for (int x = 0; x < panel->getWidth (); ++x)
			ASSERT_EQ (alphaOf (panel->getPixel (x, y)), 255u) << x << ", " << y;
	// Light grey edge, then blue at the upper left growing darker to the lower right.
	const uint32_t edge = panel->getPixel (140, 1);
	EXPECT_GT ((edge >> 16) & 0xff, 170u);
	EXPECT_GT (edge & 0xff, 170u);
	const uint32_t upperLeft = panel->getPixel (30, 75);
	const uint32_t lowerRight = panel->getPixel (250, 170);
	EXPECT_GT (upperLeft & 0xff, (upperLeft >> 16) & 0xff);
	EXPECT_GT (upperLeft & 0xff, lowerRight & 0xff);
}

TEST (EditorBitmaps, KnobStripHas101FramesFromLowerLeftToLowerRight)
{
	CBitmapPtr strip = CBitmap::loadPNG (resource ("knob_kt3.png"));
	ASSERT_NE (strip, nullptr);
	EXPECT_EQ (strip->getHeight () / 64, 101);
	EXPECT_EQ (strip->getHeight () % 64, 0);

	// The pointer's tip: frame 0 at 135 degrees, 50 at 270 (up), 100 at 405 (lower right).
	const std::pair<int, double> pointers[] = {{0, 135.}, {50, 270.}, {100, 45.}, {25, 202.5}};
	for (const auto& [frame, degrees] : pointers)
	{
		SCOPED_TRACE (frame);
		EXPECT_TRUE (isLight (knobPixel (*strip, frame, degrees, 23)));
		// Straight across, past the short tail, the panel shows through.
		EXPECT_LT (alphaOf (knobPixel (*strip, frame, degrees + 180., 18)), 100u);
	}

	// The arc between radii 24 and 31 grows clockwise from the lower left.
	for (double degrees = 140.; degrees < 400.; degrees += 10.)
		EXPECT_LT (alphaOf (knobPixel (*strip, 0, degrees, 27.5)), 40u) << degrees;
	EXPECT_TRUE (isLight (knobPixel (*strip, 50, 180., 27.5)));
	EXPECT_TRUE (isLight (knobPixel (*strip, 50, 260., 27.5)));
	EXPECT_LT (alphaOf (knobPixel (*strip, 50, 300., 27.5)), 40u);
	EXPECT_TRUE (isLight (knobPixel (*strip, 100, 40., 27.5)));
	// Outside the arc and off the pointer every frame is clear.
	for (int frame : {0, 50, 100})
	{
		EXPECT_EQ (alphaOf (strip->getPixel (0, frame * 64)), 0u);
		EXPECT_EQ (alphaOf (knobPixel (*strip, frame, 90., 27.5)), 0u);
		EXPECT_EQ (alphaOf (knobPixel (*strip, frame, 135. + 270. * frame / 100. + 90., 20.)), 0u);
	}
}

TEST (EditorBitmaps, CreditsPictureIsTranslucentDark)
{
	CBitmapPtr credits = CBitmap::loadPNG (resource ("about_kt3.png"));
	ASSERT_NE (credits, nullptr);
	// About 80 % opacity inside, 60 % at the outermost edge.
	EXPECT_NEAR (alphaOf (credits->getPixel (10, 150)) / 255., 0.8, 0.03);
	EXPECT_NEAR (alphaOf (credits->getPixel (115, 0)) / 255., 0.6, 0.05);
	const uint32_t inside = credits->getPixel (10, 150);
	EXPECT_LT ((inside >> 16) & 0xff, 10u);
	EXPECT_LT ((inside >> 8) & 0xff, 40u);
}

TEST (EditorBitmaps, DecoderRefusesOversizedTruncatedAndMissingData)
{
	const std::vector<uint8_t> widest = greyPng (CBitmap::kMaxSide, 1);
	const CBitmapPtr accepted = CBitmap::decodePNG (widest.data (), widest.size ());
	ASSERT_NE (accepted, nullptr);
	EXPECT_EQ (accepted->getWidth (), CBitmap::kMaxSide);
	EXPECT_EQ (accepted->getPixel (0, 0), 0xff808080u);

	// Well-formed images past either limit: one side too long, or too many pixels in all.
	for (const auto& [w, h] : {std::pair (CBitmap::kMaxSide + 1, 1), std::pair (4097, 4097)})
	{
		const std::vector<uint8_t> png = greyPng (w, h);
		EXPECT_EQ (CBitmap::decodePNG (png.data (), png.size ()), nullptr) << w << " x " << h;
	}

	std::ifstream in (resource ("about_kt3.png"), std::ios::binary);
	const std::vector<uint8_t> real {std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char> ()};
	ASSERT_NE (CBitmap::decodePNG (real.data (), real.size ()), nullptr);
	EXPECT_EQ (CBitmap::decodePNG (real.data (), real.size () / 2), nullptr);
	// A chunk claiming more bytes than the file holds is refused before the decoder would
	// reserve room for them.
	std::vector<uint8_t> overlong = greyPng (8, 4);
	const auto idat = std::search (overlong.begin (), overlong.end (), std::begin ("IDAT"), std::end ("IDAT") - 1);
	std::fill (idat - 4, idat, uint8_t (0x7f));
	EXPECT_EQ (CBitmap::decodePNG (overlong.data (), overlong.size ()), nullptr);
	EXPECT_EQ (CBitmap::decodePNG (real.data (), 0), nullptr);
	EXPECT_EQ (CBitmap::decodePNG (nullptr, 100), nullptr);
	EXPECT_EQ (CBitmap::loadPNG ("/nonexistent/kt3.png"), nullptr);
}

TEST (EditorBitmaps, EmptyImageDataChunksAreSkipped)
{
	// An empty IDAT chunk carries nothing; before the first real one it made the decoder copy
	// zero bytes to a null buffer.
	const std::vector<uint8_t> png = greyPng (8, 4);
	const auto idat = std::search (png.begin (), png.end (), std::begin ("IDAT"), std::end ("IDAT") - 1) - 4;
	std::vector<uint8_t> withEmpty (png.begin (), idat);
	withEmpty.insert (withEmpty.end (), {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xaf, 0x06, 0x1e});
	withEmpty.insert (withEmpty.end (), idat, png.end ());

	const CBitmapPtr plain = CBitmap::decodePNG (png.data (), png.size ());
	const CBitmapPtr skipped = CBitmap::decodePNG (withEmpty.data (), withEmpty.size ());
	ASSERT_NE (plain, nullptr);
	ASSERT_NE (skipped, nullptr);
	for (int y = 0; y < 4; ++y)
		EXPECT_TRUE (std::equal (plain->row (y), plain->row (y) + 8, skipped->row (y)));

	// The input that found it: a lone empty IDAT followed by garbage.
	const uint8_t found[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
	                         0x52, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x9b,
	                         0xb6, 0x43, 0x5d, 0x00, 0x00, 0x00, 0x00, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x9c,
	                         0x9f, 0xe0, 0x66, 0x16, 0x38, 0x31, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xdc,
	                         0xbc, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
	EXPECT_EQ (CBitmap::decodePNG (found, sizeof found), nullptr);
	// And an empty IDAT that ends the file before its checksum.
	const uint8_t cutShort[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
	                            0x44, 0x52, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x04, 0x01, 0x00, 0x00, 0x00,
	                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x49, 0x44, 0x41, 0x54};
	EXPECT_EQ (CBitmap::decodePNG (cutShort, sizeof cutShort), nullptr);
}
