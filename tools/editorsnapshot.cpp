// kt3-editor-snapshot: builds the editor offscreen and writes what it shows as a PNG.
//
//   kt3-editor-snapshot --bundle BUNDLE
//     A build step: the pictures that hosts show in their plug-in browsers, at the parameters'
//     defaults, as BUNDLE/Contents/Resources/Snapshots/<processor CID>_snapshot.png (scale 1)
//     and <CID>_snapshot_2.0x.png (scale 2). The editor's bitmaps exist at 1x only, so a scale-2
//     display shows each of its pixels as a 2 x 2 block, and so does the scale-2 picture. The
//     editor reads the bundle's Contents/Resources on Linux; on Windows the program's own
//     resources, compiled from the module's resource script.
//   kt3-editor-snapshot RESOURCES OUT.png [SIZE HFDAMP MIX] [--credits]     (Linux)
//     The editor from a resource folder at the given normalised values (the defaults for those
//     not given), with the credits shown on request, for looking at the artwork in place.
#include "kt3controllerwithui.h"
#include "kt3ids.h"
#include "pngwriter.h"

#include "vstgui/lib/cframe.h"
#if !defined(_WIN32)
#include "vstgui/lib/platform/linux/idlerunloop.h"
#include "vstgui/lib/platform/linux/resourcefolder.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The registered controller, initialised (its parameters at their defaults), and its editor.
struct Editor
{
	Editor () { controller->initialize (nullptr); }
	~Editor ()
	{
		if (editor)
			editor->close ();
		controller->terminate ();
	}

	// Opens the editor offscreen; without a run loop nothing animates.
	VSTGUI::CFrame* open (VSTGUI::IRunLoop* runLoop)
	{
		view = owned (controller->createView (ViewType::kEditor));
		editor = dynamic_cast<VSTGUI::VST3Editor*> (view.get ());
		return editor && editor->openOffscreen (runLoop) ? editor->getFrame () : nullptr;
	}

	IPtr<Orvix::KT3ControllerWithUI> controller = owned (new Orvix::KT3ControllerWithUI);
	IPtr<IPlugView> view;
	VSTGUI::VST3Editor* editor {nullptr};
};

VSTGUI::CPixelBuffer paint (VSTGUI::CFrame& frame)
{
	const VSTGUI::CRect& size = frame.getViewSize ();
	VSTGUI::CPixelBuffer buffer (static_cast<int> (size.getWidth ()), static_cast<int> (size.getHeight ()));
	VSTGUI::CDrawContext context (buffer);
	frame.invalid ();
	frame.drawDirtyRects (context);
	return buffer;
}

VSTGUI::CPixelBuffer doubled (const VSTGUI::CPixelBuffer& picture)
{
	VSTGUI::CPixelBuffer out (picture.width * 2, picture.height * 2);
	for (int y = 0; y < out.height; ++y)
		for (int x = 0; x < out.width; ++x)
			out.row (y)[x] = picture.at (x / 2, y / 2);
	return out;
}

bool write (const std::string& path, const VSTGUI::CPixelBuffer& picture)
{
	if (writeRGBAPNG (path, picture.width, picture.height, picture.pixels.data (), picture.width * 4))
		return true;
	std::fprintf (stderr, "kt3-editor-snapshot: cannot write %s\n", path.c_str ());
	return false;
}

int writeBundleSnapshots (const std::string& bundle)
{
#if !defined(_WIN32)
	VSTGUI::setResourceFolder (bundle + "/Contents/Resources");
#endif
	Editor editor;
	VSTGUI::CFrame* frame = editor.open (nullptr);
	if (!frame)
	{
		std::fprintf (stderr, "kt3-editor-snapshot: no editor from %s\n", bundle.c_str ());
		return 1;
	}
	char8 cid[33];
	Orvix::kKT3ProcessorUID.toString (cid);
	const std::string stem = bundle + "/Contents/Resources/Snapshots/" + cid + "_snapshot";
	const VSTGUI::CPixelBuffer picture = paint (*frame);
	return write (stem + ".png", picture) && write (stem + "_2.0x.png", doubled (picture)) ? 0 : 1;
}

#if !defined(_WIN32)
int writeSnapshot (int argc, char** argv)
{
	VSTGUI::setResourceFolder (argv[1]);
	const bool credits = std::strcmp (argv[argc - 1], "--credits") == 0;
	const int valueCount = argc - 3 - (credits ? 1 : 0);

	// The run loop outlives the editor, whose timers leave it as the editor closes.
	uint64_t now = 0;
	VSTGUI::IdleRunLoop runLoop ([&now] () { return now; });
	Editor editor;
	for (ParamID id = 0; id < 3 && id < static_cast<ParamID> (valueCount); ++id)
		editor.controller->setParamNormalized (id, std::atof (argv[3 + id]));
	VSTGUI::CFrame* frame = editor.open (&runLoop);
	if (!frame)
	{
		std::fprintf (stderr, "kt3-editor-snapshot: no editor from %s\n", argv[1]);
		return 1;
	}
	if (credits)
	{
		// A click on the credits area, then past the fade-in.
		VSTGUI::CPoint where (200, 40);
		frame->onMouseDown (where, VSTGUI::kLButton);
		frame->onMouseUp (where, VSTGUI::kLButton);
		for (int tick = 0; tick < 40; ++tick, now += 16)
			runLoop.idle ();
	}
	return write (argv[2], paint (*frame)) ? 0 : 1;
}
#endif

} // namespace

int main (int argc, char** argv)
{
	if (argc == 3 && std::strcmp (argv[1], "--bundle") == 0)
		return writeBundleSnapshots (argv[2]);
#if !defined(_WIN32)
	if (argc >= 3 && argv[1][0] != '-')
		return writeSnapshot (argc, argv);
	std::fprintf (stderr, "usage: kt3-editor-snapshot --bundle BUNDLE\n"
	                      "       kt3-editor-snapshot <resource folder> <out.png> [size hfdamp mix] [--credits]\n");
#else
	std::fprintf (stderr, "usage: kt3-editor-snapshot --bundle BUNDLE\n");
#endif
	return 2;
}
