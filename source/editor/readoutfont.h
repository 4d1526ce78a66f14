// ReadoutFont: the value readouts' lettering, the glyph cells of the readout bitmap, laid out
// by the ink each cell holds: one frame unit between glyphs, digits all as wide as the widest
// (so that a changing value does not jitter), a space a third of the font size.
#pragma once

#include "panelartwork.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"

#include <array>
#include <memory>
#include <string>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ReadoutFont
{
public:
	// UI thread, as every method. Null unless the bitmap has the cells' size.
	static std::unique_ptr<ReadoutFont> fromBitmap (VSTGUI::CBitmapPtr glyphs);

	// In frame units; characters without a glyph count as '?'.
	double textWidth (const std::string& text) const;
	// Draws the text with its first cell's ink at left and the cells' tops at top.
	void draw (VSTGUI::CDrawContext& context, const std::string& text, VSTGUI::CPoint leftTop) const;

private:
	struct Glyph
	{
		double inkLeft {0.};  // from the cell's left edge
		double inkWidth {0.}; // zero for an empty cell
	};

	explicit ReadoutFont (VSTGUI::CBitmapPtr cells);
	static int cellOf (char c);
	double advance (int cell) const;

	VSTGUI::CBitmapPtr bitmap;
	std::array<Glyph, PanelArtwork::kGlyphCount> glyphs;
	double digitWidth {0.};
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
