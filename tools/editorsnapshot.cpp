// kt3-editor-snapshot: builds the editor offscreen from a resource folder and writes what it
// shows as a PNG, for looking at the artwork in place.
// Usage: kt3-editor-snapshot <resource folder> <out.png> [size hfdamp mix] [--credits]
#include "kt3controllerwithui.h"
#include "kt3ids.h"
#include "pngwriter.h"

#include "vstgui/lib/cframe.h"
#include "vstgui/lib/platform/linux/idlerunloop.h"
#include "vstgui/lib/platform/linux/resourcefolder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

int main (int argc, char** argv)
{
	if (argc < 3)
	{
		std::fprintf (stderr, "usage: kt3-editor-snapshot <resource folder> <out.png> [size hfdamp mix] [--credits]\n");
		return 2;
	}
	VSTGUI::setResourceFolder (argv[1]);
	const bool credits = std::strcmp (argv[argc - 1], "--credits") == 0;
	const int valueCount = argc - 3 - (credits ? 1 : 0);

	IPtr<Orvix::KT3ControllerWithUI> controller (new Orvix::KT3ControllerWithUI, false);
	controller->initialize (nullptr);
	const ParamValue defaults[] = {0.7, 0.7, 0.9};
	for (ParamID id = 0; id < 3; ++id)
		controller->setParamNormalized (id, id < static_cast<ParamID> (valueCount) ? std::atof (argv[3 + id]) : defaults[id]);

	uint64_t now = 0;
	VSTGUI::IdleRunLoop runLoop ([&now] () { return now; });
	IPtr<IPlugView> view (controller->createView (ViewType::kEditor), false);
	auto* editor = dynamic_cast<VSTGUI::VST3Editor*> (view.get ());
	if (!editor || !editor->openOffscreen (&runLoop))
	{
		std::fprintf (stderr, "kt3-editor-snapshot: no editor from %s\n", argv[1]);
		return 1;
	}
	VSTGUI::CFrame* frame = editor->getFrame ();
	if (credits)
	{
		// A click on the credits area, then past the fade-in.
		VSTGUI::CPoint where (200, 40);
		frame->onMouseDown (where, VSTGUI::kLButton);
		frame->onMouseUp (where, VSTGUI::kLButton);
		for (int tick = 0; tick < 40; ++tick, now += 16)
			runLoop.idle ();
	}
	const VSTGUI::CRect& size = frame->getViewSize ();
	VSTGUI::CPixelBuffer buffer (static_cast<int> (size.getWidth ()), static_cast<int> (size.getHeight ()));
	VSTGUI::CDrawContext context (buffer);
	frame->invalid ();
	frame->drawDirtyRects (context);
	const bool ok = writeRGBAPNG (argv[2], buffer.width, buffer.height, buffer.pixels.data (), buffer.width * 4);
	editor->close ();
	controller->terminate ();
	return ok ? 0 : 1;
}
