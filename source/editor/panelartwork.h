// Facts of the editor's artwork that the program drawing it and the editor showing the value
// readouts share: where the knobs' letters stand, and how the readout's glyphs are stored.
// Coordinates are the panel's (scale 1); the 2x bitmaps hold the same at twice the pixels.
#pragma once

namespace Steinberg {
namespace Vst {
namespace Orvix {
namespace PanelArtwork {

// A readout covers the knob's letter: kReadoutWidth wide, centred on the knob's centre, from
// kReadoutTop down kReadoutHeight. "kt3_plain.png" is the panel without the letters; the
// readout shows its pixels under the value, so the letter vanishes without a seam.
constexpr double kReadoutTop = 142.;
constexpr double kReadoutWidth = 78.;
constexpr double kReadoutHeight = 18.;

// "readout_kt3.png": one row of cells, kGlyphCellWidth x kReadoutHeight each, for the
// characters kFirstGlyph to kLastGlyph in order, in the panel's lettering at kGlyphFontSize.
// Each glyph's ink (shadow included) starts kGlyphInset from its cell's left edge, on the
// baseline kGlyphBaseline below the cell's top; the editor measures the ink to lay text out.
constexpr char kFirstGlyph = ' ';
constexpr char kLastGlyph = '~';
constexpr int kGlyphCount = kLastGlyph - kFirstGlyph + 1;
constexpr double kGlyphCellWidth = 16.;
constexpr double kGlyphInset = 1.;
constexpr double kGlyphBaseline = 13.;
constexpr double kGlyphFontSize = 12.;

} // namespace PanelArtwork
} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
