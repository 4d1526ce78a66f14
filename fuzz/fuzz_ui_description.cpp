// The editor's description on arbitrary bytes, opened by the registered controller's editor
// from a resource folder that holds the real 1x bitmaps beside it, shrunk to an eighth of their
// sides: decoding them at full size would take most of each run, and the decoder has a target
// of its own. The readout glyphs stay whole: they are small, and their cells' layout is fixed.
// A description that does not parse gives no editor (0 x 0, nothing opens); one that opens is
// drawn, clicked, dragged, wheeled and run through its fades, then closed.
#include "fuzzcheck.h"
#include "kt3controllerwithui.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/platform/linux/idlerunloop.h"
#include "vstgui/lib/platform/linux/resourcefolder.h"
#include "vstgui/plugin-bindings/vst3editor.h"
#include "vstgui/uidescription/uidescription.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

using namespace Steinberg;
using namespace VSTGUI;
using namespace kt3fuzz;

namespace {

const char* const kDescriptionFile = "FX_KT3.uidesc";
// The bitmaps, each with the step between the pixels kept of it.
const std::pair<const char*, int> kBitmaps[] = {
    {"kt3.png", 8}, {"kt3_plain.png", 8}, {"knob_kt3.png", 8}, {"about_kt3.png", 8}, {"readout_kt3.png", 1}};

// A resource folder in memory-backed storage where it exists, with copies of the real bitmaps.
struct ScratchFolder
{
	ScratchFolder ()
	{
		char pattern[] = "/dev/shm/kt3-fuzz-XXXXXX";
		char fallback[] = "/tmp/kt3-fuzz-XXXXXX";
		const char* made = mkdtemp (pattern);
		folder = made ? made : mkdtemp (fallback);
		for (const auto& [bitmap, step] : kBitmaps)
			writeShrunk (std::string (KT3_RESOURCES_DIR) + "/" + bitmap, folder + "/" + bitmap, step);
		setResourceFolder (folder);
	}
	// Every step-th pixel of every step-th row, as RGBA bytes.
	static void writeShrunk (const std::string& from, const std::string& to, int step)
	{
		const CBitmapPtr real = CBitmap::loadPNG (from);
		require (real != nullptr, "the real bitmaps load");
		const int w = real->getWidth () / step;
		const int h = real->getHeight () / step;
		std::vector<uint8_t> rgba;
		for (int y = 0; y < h; ++y)
			for (int x = 0; x < w; ++x)
			{
				const uint32_t p = real->getPixel (x * step, y * step);
				rgba.insert (rgba.end (), {uint8_t (p >> 16), uint8_t (p >> 8), uint8_t (p), uint8_t (p >> 24)});
			}
		require (stbi_write_png (to.c_str (), w, h, 4, rgba.data (), w * 4) != 0, "the shrunk bitmaps are written");
	}
	~ScratchFolder ()
	{
		for (const auto& [bitmap, step] : kBitmaps)
			std::remove ((folder + "/" + bitmap).c_str ());
		std::remove ((folder + "/" + kDescriptionFile).c_str ());
		rmdir (folder.c_str ());
	}
	void writeDescription (const uint8_t* data, size_t size)
	{
		std::ofstream (folder + "/" + kDescriptionFile, std::ios::binary)
		    .write (reinterpret_cast<const char*> (data), static_cast<std::streamsize> (size));
	}

	std::string folder;
};

void exercise (CFrame& frame, IdleRunLoop& runLoop, uint64_t& now)
{
	CPixelBuffer buffer (281, 232);
	CDrawContext context (buffer);
	auto advance = [&] (uint64_t ms) {
		for (uint64_t end = now + ms; now < end; now += 10)
			runLoop.idle ();
	};
	frame.drawDirtyRects (context);
	for (const CPoint& at : {CPoint (58, 116), CPoint (220, 48), CPoint (220, 114), CPoint (-5, 300)})
	{
		CPoint p = at;
		frame.onMouseDown (p, kLButton);
		p = CPoint (at.x + 3, at.y - 40);
		frame.onMouseMoved (p, kLButton);
		frame.onMouseUp (p, kLButton);
		frame.onWheel (at, 1.f, 0);
		advance (600);
		frame.drawDirtyRects (context);
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	static ScratchFolder scratch;
	scratch.writeDescription (data, size);
	const bool parses = UIDescription (kDescriptionFile).parse ();

	Controller<Vst::Orvix::KT3ControllerWithUI> controller;
	IPtr<IPlugView> view = owned (controller.edit->createView (Vst::ViewType::kEditor));
	auto* editor = dynamic_cast<VST3Editor*> (view.get ());
	require (editor, "the controller makes an editor object");

	uint64_t now = 0;
	IdleRunLoop runLoop ([&now] () { return now; });
	ViewRect rect;
	require (view->getSize (&rect) == kResultTrue, "getSize answers");
	const bool opened = editor->openOffscreen (&runLoop);
	if (!parses)
		require (rect.getWidth () == 0 && rect.getHeight () == 0 && !opened,
		         "a description that does not parse gives no editor");
	if (opened)
	{
		exercise (*editor->getFrame (), runLoop, now);
		editor->close ();
	}
	return 0;
}
