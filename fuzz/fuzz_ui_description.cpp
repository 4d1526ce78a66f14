// The editor's description on arbitrary bytes, opened by the registered controller's editor
// from a resource folder that holds the real bitmaps beside it. A description that does not
// parse gives no editor (0 x 0, nothing opens); one that opens is drawn, clicked, dragged,
// wheeled and run through its fades, then closed.
#include "fuzzcheck.h"
#include "kt3controllerwithui.h"

#include "vstgui/lib/cframe.h"
#include "vstgui/lib/platform/linux/idlerunloop.h"
#include "vstgui/lib/platform/linux/resourcefolder.h"
#include "vstgui/plugin-bindings/vst3editor.h"
#include "vstgui/uidescription/uidescription.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace Steinberg;
using namespace VSTGUI;
using namespace kt3fuzz;

namespace {

const char* const kDescriptionFile = "FX_KT3.uidesc";

// A resource folder in memory-backed storage where it exists, with copies of the real bitmaps.
struct ScratchFolder
{
	ScratchFolder ()
	{
		char pattern[] = "/dev/shm/kt3-fuzz-XXXXXX";
		char fallback[] = "/tmp/kt3-fuzz-XXXXXX";
		const char* made = mkdtemp (pattern);
		folder = made ? made : mkdtemp (fallback);
		for (const char* bitmap : {"kt3.png", "knob_kt3.png", "about_kt3.png"})
		{
			std::ifstream in (std::string (KT3_RESOURCES_DIR) + "/" + bitmap, std::ios::binary);
			std::ofstream (folder + "/" + bitmap, std::ios::binary) << in.rdbuf ();
		}
		setResourceFolder (folder);
	}
	~ScratchFolder ()
	{
		for (const char* file : {"kt3.png", "knob_kt3.png", "about_kt3.png", kDescriptionFile})
			std::remove ((folder + "/" + file).c_str ());
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
