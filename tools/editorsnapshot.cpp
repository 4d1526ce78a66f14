// kt3-editor-snapshot: builds the editor offscreen and writes what it shows as a PNG.
//
//   kt3-editor-snapshot --bundle BUNDLE
//     A build step: the pictures that hosts show in their plug-in browsers, at the parameters'
//     defaults, as BUNDLE/Contents/Resources/Snapshots/<processor CID>_snapshot.png (scale 1)
//     and <CID>_snapshot_2.0x.png (the editor drawn at scale 2). The editor reads the bundle's Contents/Resources on Linux; on Windows the program's own
//     resources, compiled from the module's resource script.
//   kt3-editor-snapshot RESOURCES OUT.png [SIZE HFDAMP MIX] [--credits] [--scale=FACTOR]
//                       [--hover=KNOB]                                          (Linux)
//     The editor from a resource folder at the given normalised values (the defaults for those
//     not given), at a scale factor, with the credits or a knob's (0 to 2) value readout shown
//     on request, for looking at the artwork in place.
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
#include <utility>
#include <vector>

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

	// Opens the editor offscreen at a scale factor; without a run loop nothing animates.
	VSTGUI::CFrame* open (VSTGUI::IRunLoop* runLoop, float scale = 1.f)
	{
		view = owned (controller->createView (ViewType::kEditor));
		editor = dynamic_cast<VSTGUI::VST3Editor*> (view.get ());
		if (!editor)
			return nullptr;
		editor->setContentScaleFactor (scale);
		return editor->openOffscreen (runLoop) ? editor->getFrame () : nullptr;
	}

	IPtr<Orvix::KT3ControllerWithUI> controller = owned (new Orvix::KT3ControllerWithUI);
	IPtr<IPlugView> view;
	VSTGUI::VST3Editor* editor {nullptr};
};

VSTGUI::CPixelBuffer paint (VSTGUI::CFrame& frame)
{
	const VSTGUI::CPoint size = frame.getPixelSize ();
	VSTGUI::CPixelBuffer buffer (static_cast<int> (size.x), static_cast<int> (size.y));
	VSTGUI::CDrawContext context (buffer, frame.getScaleFactor ());
	frame.invalid ();
	frame.drawDirtyRects (context);
	return buffer;
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
	char8 cid[33];
	Orvix::kKT3ProcessorUID.toString (cid);
	const std::string stem = bundle + "/Contents/Resources/Snapshots/" + cid + "_snapshot";
	for (const auto& [scale, suffix] : {std::pair (1.f, ".png"), std::pair (2.f, "_2.0x.png")})
	{
		Editor editor;
		VSTGUI::CFrame* frame = editor.open (nullptr, scale);
		if (!frame)
		{
			std::fprintf (stderr, "kt3-editor-snapshot: no editor from %s\n", bundle.c_str ());
			return 1;
		}
		if (!write (stem + suffix, paint (*frame)))
			return 1;
	}
	return 0;
}

#if !defined(_WIN32)
int writeSnapshot (int argc, char** argv)
{
	VSTGUI::setResourceFolder (argv[1]);
	bool credits = false;
	float scale = 1.f;
	int hoveredKnob = -1;
	std::vector<double> values;
	for (int i = 3; i < argc; ++i)
	{
		if (std::strcmp (argv[i], "--credits") == 0)
			credits = true;
		else if (std::strncmp (argv[i], "--scale=", 8) == 0)
			scale = std::strtof (argv[i] + 8, nullptr);
		else if (std::strncmp (argv[i], "--hover=", 8) == 0)
			hoveredKnob = std::atoi (argv[i] + 8);
		else
			values.push_back (std::atof (argv[i]));
	}

	// The run loop outlives the editor, whose timers leave it as the editor closes.
	uint64_t now = 0;
	VSTGUI::IdleRunLoop runLoop ([&now] () { return now; });
	Editor editor;
	for (ParamID id = 0; id < 3 && id < values.size (); ++id)
		editor.controller->setParamNormalized (id, values[id]);
	VSTGUI::CFrame* frame = editor.open (&runLoop, scale);
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
	if (hoveredKnob >= 0 && hoveredKnob < 3)
	{
		// The pointer at the knob's centre, which shows its value readout.
		const VSTGUI::CPoint centres[] = {{58, 116}, {138, 116}, {220, 114}};
		VSTGUI::CPoint where = centres[hoveredKnob];
		frame->onMouseMoved (where, 0);
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
	                      "       kt3-editor-snapshot <resource folder> <out.png> [size hfdamp mix] [--credits]\n"
	                      "                           [--scale=FACTOR] [--hover=KNOB]\n");
#else
	std::fprintf (stderr, "usage: kt3-editor-snapshot --bundle BUNDLE\n");
#endif
	return 2;
}
