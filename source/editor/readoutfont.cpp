#include "readoutfont.h"

#include <algorithm>

namespace Steinberg {
namespace Vst {
namespace Orvix {

using namespace PanelArtwork;
using VSTGUI::CPoint;
using VSTGUI::CRect;

namespace {

constexpr double kGlyphGap = 1.;
constexpr double kSpaceWidth = kGlyphFontSize / 3.;

bool isDigit (char c)
{
	return c >= '0' && c <= '9';
}

} // namespace

std::unique_ptr<ReadoutFont> ReadoutFont::fromBitmap (VSTGUI::CBitmapPtr glyphs)
{
	if (!glyphs || glyphs->getWidth () != static_cast<int> (kGlyphCellWidth) * kGlyphCount ||
	    glyphs->getHeight () != static_cast<int> (kReadoutHeight))
		return nullptr;
	return std::unique_ptr<ReadoutFont> (new ReadoutFont (std::move (glyphs)));
}

// The ink is measured on the scale-1 image, whose pixels are frame units.
ReadoutFont::ReadoutFont (VSTGUI::CBitmapPtr cells) : bitmap (std::move (cells))
{
	const int cellWidth = static_cast<int> (kGlyphCellWidth);
	for (int cell = 0; cell < kGlyphCount; ++cell)
	{
		int first = cellWidth;
		int last = -1;
		for (int y = 0; y < bitmap->getHeight (); ++y)
			for (int x = 0; x < cellWidth; ++x)
				if (bitmap->getPixel (cell * cellWidth + x, y) >> 24)
				{
					first = std::min (first, x);
					last = std::max (last, x);
				}
		if (last >= first)
			glyphs[static_cast<size_t> (cell)] = {double (first), double (last - first + 1)};
		if (isDigit (static_cast<char> (kFirstGlyph + cell)))
			digitWidth = std::max (digitWidth, glyphs[static_cast<size_t> (cell)].inkWidth);
	}
}

int ReadoutFont::cellOf (char c)
{
	return c >= kFirstGlyph && c <= kLastGlyph ? c - kFirstGlyph : '?' - kFirstGlyph;
}

double ReadoutFont::advance (int cell) const
{
	const Glyph& glyph = glyphs[static_cast<size_t> (cell)];
	if (isDigit (static_cast<char> (kFirstGlyph + cell)))
		return digitWidth + kGlyphGap;
	return glyph.inkWidth > 0. ? glyph.inkWidth + kGlyphGap : kSpaceWidth;
}

double ReadoutFont::textWidth (const std::string& text) const
{
	double width = 0.;
	for (char c : text)
		width += advance (cellOf (c));
	return text.empty () ? 0. : width - kGlyphGap;
}

void ReadoutFont::draw (VSTGUI::CDrawContext& context, const std::string& text, CPoint leftTop) const
{
	double pen = leftTop.x;
	for (char c : text)
	{
		const int cell = cellOf (c);
		const Glyph& glyph = glyphs[static_cast<size_t> (cell)];
		// A digit's ink is centred in the digits' common width.
		const double inkAt = isDigit (c) ? pen + (digitWidth - glyph.inkWidth) / 2. : pen;
		const double cellLeft = inkAt - glyph.inkLeft;
		if (glyph.inkWidth > 0.)
			context.drawBitmap (*bitmap, CRect (cellLeft, leftTop.y, cellLeft + kGlyphCellWidth, leftTop.y + kReadoutHeight),
			                    CPoint (cell * kGlyphCellWidth, 0.));
		pen += advance (cell);
	}
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
