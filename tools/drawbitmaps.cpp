// kt3-draw-bitmaps: draws the editor's bitmaps with cairo and writes them as 8-bit RGBA PNGs
// into a folder: kt3.png (the panel), kt3_plain.png (the panel without the knobs' letters),
// knob_kt3.png (101 knob frames stacked top to bottom), about_kt3.png (the credits picture)
// and readout_kt3.png (the value readouts' glyphs), each also as name#2x.png, drawn at twice
// the resolution. Usage: kt3-draw-bitmaps <folder>
#include "kt3version.h"
#include "panelartwork.h"
#include "pngwriter.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double kPI = 3.14159265358979323846;
constexpr int kPanelWidth = 281;
constexpr int kPanelHeight = 232;
constexpr int kKnobSize = 64;
constexpr int kKnobFrames = 101;
constexpr int kCreditsWidth = 230;
constexpr int kCreditsHeight = 200;
// Knob travel: 135 degrees (lower left) clockwise over 270 degrees to lower right.
constexpr double kStartDegrees = 135.;
constexpr double kRangeDegrees = 270.;
constexpr double kKnobCentresX[] = {58., 138., 220.};
constexpr const char* kKnobLetters[] = {"S", "D", "M"};
const char* const kFont = "DejaVu Sans";
// The lettering's shadow lies this far down and to the right of it.
constexpr double kShadowOffset = 0.8;

namespace Artwork = Steinberg::Vst::Orvix::PanelArtwork;
constexpr int kGlyphCellWidth = static_cast<int> (Artwork::kGlyphCellWidth);
constexpr int kReadoutHeight = static_cast<int> (Artwork::kReadoutHeight);
static_assert (kGlyphCellWidth == Artwork::kGlyphCellWidth && kReadoutHeight == Artwork::kReadoutHeight,
               "the glyph cells are whole pixels");

double radians (double degrees)
{
	return degrees / 180. * kPI;
}

void rgb (cairo_t* cr, int r, int g, int b, double a = 1.)
{
	cairo_set_source_rgba (cr, r / 255., g / 255., b / 255., a);
}

void roundedRect (cairo_t* cr, double x, double y, double w, double h, double r)
{
	cairo_new_sub_path (cr);
	cairo_arc (cr, x + w - r, y + r, r, -kPI / 2, 0);
	cairo_arc (cr, x + w - r, y + h - r, r, 0, kPI / 2);
	cairo_arc (cr, x + r, y + h - r, r, kPI / 2, kPI);
	cairo_arc (cr, x + r, y + r, r, kPI, 3 * kPI / 2);
	cairo_close_path (cr);
}

// Selects the font and answers the ink box of s in it.
cairo_text_extents_t inkOf (cairo_t* cr, const char* s, double size, cairo_font_slant_t slant,
                            cairo_font_weight_t weight)
{
	cairo_select_font_face (cr, kFont, slant, weight);
	cairo_set_font_size (cr, size);
	cairo_text_extents_t e;
	cairo_text_extents (cr, s, &e);
	return e;
}

// Draws text so that its ink box is centred on (cx, cy), or left-aligned at x when cx < 0.
void text (cairo_t* cr, const char* s, double size, cairo_font_slant_t slant, cairo_font_weight_t weight,
           double cx, double cy, double leftX = -1.)
{
	const cairo_text_extents_t e = inkOf (cr, s, size, slant, weight);
	const double x = leftX >= 0. ? leftX - e.x_bearing : cx - e.width / 2. - e.x_bearing;
	cairo_move_to (cr, x, cy - e.height / 2. - e.y_bearing);
	cairo_show_text (cr, s);
}

// The knobs' lettering, also the readouts': bold, light, over a black 35 % shadow; (x, y) is
// the letter's origin on its baseline. The font is the one inkOf selected.
void lettering (cairo_t* cr, const char* s, double x, double y)
{
	rgb (cr, 0, 0, 0, 0.35);
	cairo_move_to (cr, x + kShadowOffset, y + kShadowOffset);
	cairo_show_text (cr, s);
	rgb (cr, 226, 236, 244);
	cairo_move_to (cr, x, y);
	cairo_show_text (cr, s);
}

// Concentric arcs spreading from a point: the reverb mark used on the panel and the credits.
void reverbLogo (cairo_t* cr, double cx, double cy, double scale, double alpha)
{
	cairo_save (cr);
	cairo_new_path (cr);
	cairo_set_line_cap (cr, CAIRO_LINE_CAP_ROUND);
	cairo_arc (cr, cx, cy, 1.6 * scale, 0, 2 * kPI);
	rgb (cr, 255, 255, 255, alpha);
	cairo_fill (cr);
	for (int ring = 1; ring <= 3; ++ring)
	{
		cairo_set_line_width (cr, 1.2 * scale);
		cairo_arc (cr, cx, cy, ring * 3.4 * scale, radians (-50), radians (50));
		rgb (cr, 255, 255, 255, alpha * (1. - ring * 0.22));
		cairo_stroke (cr);
	}
	cairo_restore (cr);
}

// The panel, with the knobs' letters or without them (the readouts' background, which must
// match the panel everywhere else pixel for pixel).
void drawPanel (cairo_t* cr, bool withLetters)
{
	// Light grey outer frame, 3 pixels on every edge.
	rgb (cr, 196, 200, 204);
	cairo_paint (cr);
	rgb (cr, 22, 28, 34);
	cairo_rectangle (cr, 3, 3, kPanelWidth - 6, kPanelHeight - 6);
	cairo_fill (cr);

	// The panel: rounded, steel blue at the upper left to navy at the lower right.
	const double x = 5, y = 5, w = kPanelWidth - 10, h = kPanelHeight - 10;
	cairo_pattern_t* gradient = cairo_pattern_create_linear (x, y, x + w, y + h);
	cairo_pattern_add_color_stop_rgb (gradient, 0., 70 / 255., 118 / 255., 152 / 255.);
	cairo_pattern_add_color_stop_rgb (gradient, 0.55, 34 / 255., 78 / 255., 110 / 255.);
	cairo_pattern_add_color_stop_rgb (gradient, 1., 13 / 255., 51 / 255., 79 / 255.);
	roundedRect (cr, x, y, w, h, 12);
	cairo_set_source (cr, gradient);
	cairo_fill_preserve (cr);
	cairo_pattern_destroy (gradient);
	// Bevel: a dark line round the edge, a soft highlight just inside it at the top left.
	cairo_set_line_width (cr, 1.5);
	rgb (cr, 8, 26, 42, 0.9);
	cairo_stroke (cr);
	roundedRect (cr, x + 2, y + 2, w - 4, h - 4, 10);
	cairo_pattern_t* highlight = cairo_pattern_create_linear (x, y, x + w, y + h);
	cairo_pattern_add_color_stop_rgba (highlight, 0., 1, 1, 1, 0.35);
	cairo_pattern_add_color_stop_rgba (highlight, 0.5, 1, 1, 1, 0.04);
	cairo_pattern_add_color_stop_rgba (highlight, 1., 0, 0, 0, 0.25);
	cairo_set_source (cr, highlight);
	cairo_set_line_width (cr, 1.);
	cairo_stroke (cr);
	cairo_pattern_destroy (highlight);

	// A gentle sheen over the top half.
	cairo_pattern_t* sheen = cairo_pattern_create_linear (0, y, 0, y + h * 0.5);
	cairo_pattern_add_color_stop_rgba (sheen, 0., 1, 1, 1, 0.08);
	cairo_pattern_add_color_stop_rgba (sheen, 1., 1, 1, 1, 0.);
	roundedRect (cr, x + 3, y + 3, w - 6, h * 0.5, 9);
	cairo_set_source (cr, sheen);
	cairo_fill (cr);
	cairo_pattern_destroy (sheen);

	// Model name at the upper right, under the credits click area, and a dim logo beside it.
	rgb (cr, 0, 0, 0, 0.35);
	text (cr, "KT3", 31, CAIRO_FONT_SLANT_OBLIQUE, CAIRO_FONT_WEIGHT_BOLD, 212, 41);
	rgb (cr, 232, 240, 246);
	text (cr, "KT3", 31, CAIRO_FONT_SLANT_OBLIQUE, CAIRO_FONT_WEIGHT_BOLD, 211, 40);
	reverbLogo (cr, 245, 40, 1.4, 0.35);

	// Product line at the upper left and a thin rule under the heading.
	rgb (cr, 220, 232, 242, 0.85);
	text (cr, "STEREO REVERB", 9.5, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD, -1, 30, 22);
	rgb (cr, 200, 220, 236, 0.45);
	text (cr, "ORVIX", 8, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL, -1, 44, 22);
	cairo_set_line_width (cr, 1.);
	rgb (cr, 0, 0, 0, 0.3);
	cairo_move_to (cr, 22, 64.5);
	cairo_line_to (cr, 259, 64.5);
	cairo_stroke (cr);
	rgb (cr, 255, 255, 255, 0.12);
	cairo_move_to (cr, 22, 65.5);
	cairo_line_to (cr, 259, 65.5);
	cairo_stroke (cr);

	// Recessed wells behind the knobs, and the knobs' letters below them.
	for (int k = 0; k < 3; ++k)
	{
		const double cx = kKnobCentresX[k];
		const double cy = k == 2 ? 114. : 116.;
		cairo_pattern_t* well = cairo_pattern_create_radial (cx, cy, 18, cx, cy, 34);
		cairo_pattern_add_color_stop_rgba (well, 0., 0, 0, 0, 0.28);
		cairo_pattern_add_color_stop_rgba (well, 1., 0, 0, 0, 0.);
		cairo_arc (cr, cx, cy, 34, 0, 2 * kPI);
		cairo_set_source (cr, well);
		cairo_fill (cr);
		cairo_pattern_destroy (well);

		if (withLetters)
		{
			// Ink box centred on (cx, 150.5).
			const cairo_text_extents_t e =
			    inkOf (cr, kKnobLetters[k], 14, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
			lettering (cr, kKnobLetters[k], cx - e.width / 2. - e.x_bearing, 150.5 - e.height / 2. - e.y_bearing);
		}
	}

	// Footer: a darker band with four screws at the corners of the panel.
	cairo_pattern_t* footer = cairo_pattern_create_linear (0, 176, 0, 222);
	cairo_pattern_add_color_stop_rgba (footer, 0., 0, 0, 0, 0.);
	cairo_pattern_add_color_stop_rgba (footer, 1., 0, 0, 0, 0.22);
	cairo_rectangle (cr, 8, 176, kPanelWidth - 16, 44);
	cairo_set_source (cr, footer);
	cairo_fill (cr);
	cairo_pattern_destroy (footer);
	const double screws[][2] = {{14, 14}, {kPanelWidth - 14., 14}, {14, kPanelHeight - 14.}, {kPanelWidth - 14., kPanelHeight - 14.}};
	for (const auto& s : screws)
	{
		cairo_pattern_t* head = cairo_pattern_create_linear (s[0] - 3, s[1] - 3, s[0] + 3, s[1] + 3);
		cairo_pattern_add_color_stop_rgb (head, 0., 0.78, 0.82, 0.86);
		cairo_pattern_add_color_stop_rgb (head, 1., 0.30, 0.36, 0.42);
		cairo_arc (cr, s[0], s[1], 3.2, 0, 2 * kPI);
		cairo_set_source (cr, head);
		cairo_fill (cr);
		cairo_pattern_destroy (head);
		rgb (cr, 20, 30, 40, 0.8);
		cairo_set_line_width (cr, 1.);
		cairo_move_to (cr, s[0] - 2, s[1] + 2);
		cairo_line_to (cr, s[0] + 2, s[1] - 2);
		cairo_stroke (cr);
	}
	rgb (cr, 210, 226, 238, 0.55);
	text (cr, "SIZE   \xc2\xb7   HF DAMP   \xc2\xb7   MIX", 8, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL,
	      kPanelWidth / 2., 196);
}

// One knob frame centred at (cx, cy): the value arc, then the pointer at the value's angle.
void drawKnobFrame (cairo_t* cr, double cx, double cy, int frame)
{
	const double angle = radians (kStartDegrees + kRangeDegrees * frame / (kKnobFrames - 1));
	cairo_new_path (cr);
	if (frame > 0)
	{
		cairo_set_line_cap (cr, CAIRO_LINE_CAP_BUTT);
		cairo_set_line_width (cr, 7.);
		cairo_arc (cr, cx, cy, 27.5, radians (kStartDegrees), angle);
		rgb (cr, 255, 255, 255);
		cairo_stroke (cr);
	}

	cairo_save (cr);
	cairo_translate (cr, cx, cy);
	cairo_rotate (cr, angle);
	// Shadow, then a capsule 38 long and 10 wide, shaded across its width, its tip to the value.
	roundedRect (cr, -12.5 + 1.2, -5 + 1.6, 38, 10, 5);
	rgb (cr, 0, 0, 0, 0.35);
	cairo_fill (cr);
	roundedRect (cr, -12.5, -5, 38, 10, 5);
	cairo_pattern_t* shade = cairo_pattern_create_linear (0, -5, 0, 5);
	cairo_pattern_add_color_stop_rgb (shade, 0., 0.97, 0.98, 1.);
	cairo_pattern_add_color_stop_rgb (shade, 0.55, 0.80, 0.84, 0.88);
	cairo_pattern_add_color_stop_rgb (shade, 1., 0.58, 0.63, 0.69);
	cairo_set_source (cr, shade);
	cairo_fill_preserve (cr);
	cairo_pattern_destroy (shade);
	cairo_set_line_width (cr, 0.8);
	rgb (cr, 40, 52, 64, 0.6);
	cairo_stroke (cr);
	// The indicator groove towards the tip.
	cairo_set_line_cap (cr, CAIRO_LINE_CAP_ROUND);
	cairo_set_line_width (cr, 2.);
	rgb (cr, 30, 60, 90);
	cairo_move_to (cr, 8, 0);
	cairo_line_to (cr, 21, 0);
	cairo_stroke (cr);
	cairo_restore (cr);
}

void drawKnobStrip (cairo_t* cr)
{
	for (int i = 0; i < kKnobFrames; ++i)
		drawKnobFrame (cr, kKnobSize / 2., i * kKnobSize + kKnobSize / 2., i);
}

// The first column of an image surface that holds any ink, or -1 when it is empty.
int firstInkColumn (cairo_surface_t* image)
{
	const int width = cairo_image_surface_get_width (image);
	const int height = cairo_image_surface_get_height (image);
	const int stride = cairo_image_surface_get_stride (image);
	const unsigned char* data = cairo_image_surface_get_data (image);
	for (int x = 0; x < width; ++x)
		for (int y = 0; y < height; ++y)
			if (reinterpret_cast<const uint32_t*> (data + y * stride)[x] >> 24 != 0)
				return x;
	return -1;
}

// One glyph per cell for the characters kFirstGlyph to kLastGlyph; the space's cell stays
// empty. Hinted extents are rounded out to whole pixels, so a glyph's ink may start up to a
// pixel after its bearing: each glyph is drawn into a cell of its own first, then moved by
// whole pixels until its ink (the shadow is to its right) starts exactly kGlyphInset from the
// cell's left edge.
void drawReadoutGlyphs (cairo_t* cr)
{
	double scale = 1., unused = 0.;
	cairo_user_to_device_distance (cr, &scale, &unused);
	const int cellWidth = static_cast<int> (kGlyphCellWidth * scale);
	const int cellHeight = static_cast<int> (kReadoutHeight * scale);
	const int inset = static_cast<int> (Artwork::kGlyphInset * scale);
	for (int i = 0; i < Artwork::kGlyphCount; ++i)
	{
		const char glyph[] = {static_cast<char> (Artwork::kFirstGlyph + i), 0};
		cairo_surface_t* cell = cairo_image_surface_create (CAIRO_FORMAT_ARGB32, cellWidth, cellHeight);
		cairo_t* cc = cairo_create (cell);
		cairo_scale (cc, scale, scale);
		const cairo_text_extents_t e =
		    inkOf (cc, glyph, Artwork::kGlyphFontSize, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
		lettering (cc, glyph, Artwork::kGlyphInset - e.x_bearing, Artwork::kGlyphBaseline);
		cairo_destroy (cc);
		cairo_surface_flush (cell);
		const int ink = firstInkColumn (cell);
		if (ink >= 0)
		{
			cairo_save (cr);
			cairo_identity_matrix (cr);
			cairo_rectangle (cr, i * cellWidth, 0, cellWidth, cellHeight);
			cairo_set_source_surface (cr, cell, i * cellWidth + inset - ink, 0);
			cairo_fill (cr);
			cairo_restore (cr);
		}
		cairo_surface_destroy (cell);
	}
}

void drawCredits (cairo_t* cr)
{
	// Translucent dark panel: 60 % opacity at its outer edge, 80 % inside.
	roundedRect (cr, 0, 0, kCreditsWidth, kCreditsHeight, 10);
	rgb (cr, 0, 30, 40, 0.6);
	cairo_fill (cr);
	roundedRect (cr, 2, 2, kCreditsWidth - 4, kCreditsHeight - 4, 8);
	rgb (cr, 0, 30, 40, 0.8);
	cairo_set_operator (cr, CAIRO_OPERATOR_SOURCE);
	cairo_fill (cr);
	cairo_set_operator (cr, CAIRO_OPERATOR_OVER);
	roundedRect (cr, 2.5, 2.5, kCreditsWidth - 5, kCreditsHeight - 5, 8);
	rgb (cr, 255, 255, 255, 0.25);
	cairo_set_line_width (cr, 1.);
	cairo_stroke (cr);

	rgb (cr, 255, 255, 255);
	text (cr, "KT3", 34, CAIRO_FONT_SLANT_OBLIQUE, CAIRO_FONT_WEIGHT_BOLD, 100, 40);
	reverbLogo (cr, 150, 40, 2.0, 0.9);
	rgb (cr, 255, 255, 255, 0.85);
	text (cr, "Stereo Reverb", 12, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL, kCreditsWidth / 2., 72);

	rgb (cr, 255, 255, 255, 0.3);
	cairo_move_to (cr, 30, 90.5);
	cairo_line_to (cr, kCreditsWidth - 30, 90.5);
	cairo_stroke (cr);

	const char* lines[] = {"Version " KT3_VERSION_SHORT, "Design and DSP: " KT3_VENDOR " Audio", "Artwork drawn with cairo",
	                       "Lettering: DejaVu fonts"};
	for (int i = 0; i < 4; ++i)
	{
		rgb (cr, 255, 255, 255, i == 0 ? 0.95 : 0.75);
		text (cr, lines[i], 10, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL, kCreditsWidth / 2., 106 + i * 16);
	}

	// Vendor mark beside the name: two rings, the inner one filled.
	cairo_new_path (cr);
	cairo_set_line_width (cr, 1.8);
	rgb (cr, 255, 255, 255, 0.9);
	cairo_arc (cr, 86, 181, 7, 0, 2 * kPI);
	cairo_stroke (cr);
	cairo_arc (cr, 86, 181, 3, 0, 2 * kPI);
	cairo_fill (cr);
	text (cr, "ORVIX", 11, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD, -1, 181, 97);
}

// A bitmap at scale 1; each is written as name.png and, at twice the size, name#2x.png.
struct Bitmap
{
	const char* name;
	int width;
	int height;
	void (*draw) (cairo_t*);
};
const Bitmap kBitmaps[] = {
    {"kt3", kPanelWidth, kPanelHeight, [] (cairo_t* cr) { drawPanel (cr, true); }},
    {"kt3_plain", kPanelWidth, kPanelHeight, [] (cairo_t* cr) { drawPanel (cr, false); }},
    {"knob_kt3", kKnobSize, kKnobSize * kKnobFrames, drawKnobStrip},
    {"about_kt3", kCreditsWidth, kCreditsHeight, drawCredits},
    {"readout_kt3", Artwork::kGlyphCount * kGlyphCellWidth, kReadoutHeight, drawReadoutGlyphs},
};

// Draws the design on a surface scale times the size, in the same coordinates, so that the
// larger bitmaps get the detail their resolution allows.
bool writeBitmap (const std::string& folder, const Bitmap& bitmap, int scale)
{
	const std::string suffix = scale == 1 ? "" : "#" + std::to_string (scale) + "x";
	const std::string path = folder + "/" + bitmap.name + suffix + ".png";
	const int width = bitmap.width * scale;
	const int height = bitmap.height * scale;
	cairo_surface_t* surface = cairo_image_surface_create (CAIRO_FORMAT_ARGB32, width, height);
	cairo_t* cr = cairo_create (surface);
	cairo_scale (cr, scale, scale);
	bitmap.draw (cr);
	cairo_destroy (cr);
	cairo_surface_flush (surface);
	// Written by hand: cairo's own writer stores an opaque picture as RGB.
	const bool ok = writeRGBAPNG (path, width, height,
	                              reinterpret_cast<const uint32_t*> (cairo_image_surface_get_data (surface)),
	                              cairo_image_surface_get_stride (surface));
	cairo_surface_destroy (surface);
	if (!ok)
		std::fprintf (stderr, "kt3-draw-bitmaps: cannot write %s\n", path.c_str ());
	return ok;
}

} // namespace

int main (int argc, char** argv)
{
	if (argc != 2)
	{
		std::fprintf (stderr, "usage: kt3-draw-bitmaps <output folder>\n");
		return 2;
	}
	bool ok = true;
	for (const Bitmap& bitmap : kBitmaps)
		for (int scale : {1, 2})
			ok = ok && writeBitmap (argv[1], bitmap, scale);
	// The font caches that cairo's text calls filled, released so that a leak checker sees
	// only real leaks.
	cairo_debug_reset_static_data ();
	FcFini ();
	return ok ? 0 : 1;
}
