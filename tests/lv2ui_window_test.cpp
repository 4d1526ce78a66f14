// The built KT3_ui.so loaded as an LV2 host loads it, in an X11 parent window on a private
// display: its first paint is the editor's offscreen render, a drag on the Size knob writes the
// Size port, port events move the knobs, hostile port events change nothing, ui:scaleFactor
// sizes the window, it refuses to open without a parent window or its resources, and cleanup
// leaves no window or descriptor behind.
#include "offscreeneditor.h"
#include "privatedisplay.h"
#include "x11parentwindow.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cmath>
#include <dirent.h>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kBundle = KT3_LV2_BUNDLE_PATH;

struct Written
{
	uint32_t port;
	float value;
};

// A URID for each URI, the same for every UI in the test program.
LV2_URID urid (const char* uri)
{
	return static_cast<LV2_URID> (std::hash<std::string> {}(uri) % 0x7fffffff + 1);
}

// ui:scaleFactor in an option array as a host passes it, with the value's type and size as given.
struct ScaleFactorOption
{
	explicit ScaleFactorOption (float factor, const char* type = LV2_ATOM__Float, uint32_t size = 4) : value (factor)
	{
		options[0] = {LV2_OPTIONS_INSTANCE, 0, urid (LV2_UI__scaleFactor), size, urid (type), &value};
	}
	float value;
	LV2_Options_Option options[2] {};
};

size_t openDescriptors ()
{
	size_t n = 0;
	if (DIR* dir = opendir ("/proc/self/fd"))
	{
		while (readdir (dir))
			++n;
		closedir (dir);
	}
	return n;
}

// One UI instance as a host holds it: the features, the recorded writes and the size asked for.
struct HostedUi
{
	static void write (LV2UI_Controller host, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
	{
		if (size == sizeof (float) && format == 0)
			static_cast<HostedUi*> (host)->written.push_back ({port, *static_cast<const float*> (buffer)});
	}
	static int resize (LV2UI_Feature_Handle host, int width, int height)
	{
		static_cast<HostedUi*> (host)->askedSize = {width, height};
		return 0;
	}
	static LV2_URID map (LV2_URID_Map_Handle, const char* uri) { return urid (uri); }

	// With nullUris, features whose URI is null stand before and after the others; options, if
	// any, are offered as opts:options.
	HostedUi (const LV2UI_Descriptor* descriptor, uint32_t parent, const std::string& bundle, bool withParent = true,
	          bool nullUris = false, const LV2_Options_Option* options = nullptr, bool withMap = true)
	: descriptor (descriptor)
	{
		std::vector<const LV2_Feature*> features {&resizeFeature};
		if (withMap)
			features.push_back (&mapFeature);
		parentFeature.data = reinterpret_cast<void*> (uintptr_t (parent));
		if (withParent)
			features.push_back (&parentFeature);
		optionsFeature.data = const_cast<LV2_Options_Option*> (options);
		if (options)
			features.push_back (&optionsFeature);
		if (nullUris)
		{
			features.insert (features.begin (), &nullUriFeature);
			features.push_back (&nullUriFeature);
		}
		features.push_back (nullptr);
		handle = descriptor->instantiate (descriptor, "urn:orvix:kt3", bundle.c_str (), write, this, &widget,
		                                  features.data ());
		if (handle)
			idle = static_cast<const LV2UI_Idle_Interface*> (descriptor->extension_data (LV2_UI__idleInterface));
	}
	~HostedUi ()
	{
		if (handle)
			descriptor->cleanup (handle);
	}
	uint32_t window () const { return static_cast<uint32_t> (reinterpret_cast<uintptr_t> (widget)); }
	void runFor (int ms)
	{
		const auto end = std::chrono::steady_clock::now () + std::chrono::milliseconds (ms);
		while (std::chrono::steady_clock::now () < end)
		{
			idle->idle (handle);
			std::this_thread::sleep_for (std::chrono::milliseconds (2));
		}
	}
	void event (uint32_t port, float value, uint32_t size = sizeof (float), uint32_t format = 0)
	{
		descriptor->port_event (handle, port, size, format, &value);
	}

	const LV2UI_Descriptor* descriptor;
	LV2_URID_Map mapData {nullptr, map};
	LV2_Feature mapFeature {LV2_URID__map, &mapData};
	LV2UI_Resize resizeData {this, resize};
	LV2_Feature resizeFeature {LV2_UI__resize, &resizeData};
	LV2_Feature parentFeature {LV2_UI__parent, nullptr};
	LV2_Feature optionsFeature {LV2_OPTIONS__options, nullptr};
	LV2_Feature nullUriFeature {nullptr, &mapData};
	LV2UI_Widget widget {nullptr};
	LV2UI_Handle handle {nullptr};
	const LV2UI_Idle_Interface* idle {nullptr};
	std::vector<Written> written;
	std::pair<int, int> askedSize {0, 0};
};

} // namespace

class Lv2UiWindow : public WithPrivateDisplay<::testing::Test>
{
protected:
	void SetUp () override
	{
		WithPrivateDisplay<::testing::Test>::SetUp ();
		library = dlopen ((kBundle + "/KT3_ui.so").c_str (), RTLD_NOW | RTLD_LOCAL);
		ASSERT_NE (library, nullptr) << dlerror ();
		auto entry = reinterpret_cast<LV2UI_DescriptorFunction> (dlsym (library, "lv2ui_descriptor"));
		ASSERT_NE (entry, nullptr);
		for (uint32_t i = 0; entry (i); ++i)
			if (std::string (entry (i)->URI) == "urn:orvix:kt3:ui")
				descriptor = entry (i);
		ASSERT_NE (descriptor, nullptr);
		ASSERT_TRUE (parent.isOpen ()) << parent.error ();
	}
	void TearDown () override
	{
		if (library)
			dlclose (library);
	}
	// Opens a UI and serves it until its window is mapped and painted.
	std::unique_ptr<HostedUi> open (const LV2_Options_Option* options = nullptr, bool withMap = true)
	{
		auto ui = std::make_unique<HostedUi> (descriptor, parent.id (), kBundle, true, false, options, withMap);
		if (!ui->handle || !ui->idle)
			return nullptr;
		for (int i = 0; i < 150 && !parent.isMapped (ui->window ()); ++i)
			ui->runFor (20);
		ui->runFor (100);
		return ui;
	}
	std::vector<uint32_t> shown (HostedUi& ui) { return parent.capture (ui.window (), 281, 232); }
	// The UI's window size once the server has it (the editor resizes on its own connection).
	std::pair<int, int> windowSizeSettlingAt (HostedUi& ui, std::pair<int, int> expected)
	{
		for (int i = 0; i < 50 && parent.size (ui.window ()) != expected; ++i)
			ui.runFor (20);
		return parent.size (ui.window ());
	}

	kt3host::X11ParentWindow parent {281, 232};
	void* library {nullptr};
	const LV2UI_Descriptor* descriptor {nullptr};
};

TEST_F (Lv2UiWindow, FirstPaintIsTheOffscreenRenderAtTheRequestedSize)
{
	auto ui = open ();
	ASSERT_TRUE (ui);
	EXPECT_EQ (ui->askedSize, std::make_pair (281, 232));
	const std::vector<uint32_t> children = parent.children ();
	ASSERT_EQ (children.size (), 1u);
	EXPECT_EQ (children[0], ui->window ());
	OffscreenEditor offscreen (0.7, 0.7, 0.9, kBundle + "/Resources");
	ASSERT_NE (offscreen.frame, nullptr);
	const std::vector<uint32_t> pixels = shown (*ui);
	ASSERT_EQ (pixels.size (), offscreen.buffer.pixels.size ());
	int differing = 0;
	for (size_t i = 0; i < pixels.size (); ++i)
		differing += pixels[i] != (offscreen.buffer.pixels[i] & 0xffffff) ? 1 : 0;
	EXPECT_EQ (differing, 0);
}

TEST_F (Lv2UiWindow, DragOnTheSizeKnobWritesTheSizePort)
{
	auto ui = open ();
	ASSERT_TRUE (ui);
	// Top of the Size knob, then round to its left: a third of the travel, Size 10/6 m.
	parent.movePointer (58, 96);
	ui->runFor (40);
	parent.pressButton (1);
	ui->runFor (40);
	parent.movePointer (50, 100);
	ui->runFor (40);
	parent.movePointer (38, 116);
	ui->runFor (40);
	parent.releaseButton (1);
	ui->runFor (40);
	ASSERT_GE (ui->written.size (), 2u);
	for (const Written& w : ui->written)
	{
		EXPECT_EQ (w.port, 4u);
		EXPECT_GE (w.value, 0.f);
		EXPECT_LE (w.value, 10.f);
	}
	// Going round to the left lowers Size step by step.
	for (size_t i = 1; i < ui->written.size (); ++i)
		EXPECT_LE (ui->written[i].value, ui->written[i - 1].value);
	EXPECT_NEAR (ui->written.back ().value, 10. / 6., 1e-5);
}

TEST_F (Lv2UiWindow, PortEventsMoveTheKnobsAndHostileOnesChangeNothing)
{
	auto ui = open ();
	ASSERT_TRUE (ui);
	const std::vector<uint32_t> atDefaults = shown (*ui);
	// Ports without a control, hostile sizes, formats and values: the same pixels, no writes.
	for (uint32_t port : {0u, 1u, 2u, 3u, 9u, UINT32_MAX})
		ui->event (port, 3.f);
	ui->event (4, std::nanf (""));
	ui->event (4, 3.f, 2);
	ui->event (4, 3.f, sizeof (float), 7);
	descriptor->port_event (ui->handle, 5, sizeof (float), 0, nullptr);
	ui->event (7, 20.f); // Output and `enabled` have no control in the editor
	ui->event (8, 0.f);
	ui->runFor (60);
	EXPECT_EQ (shown (*ui), atDefaults);

	for (uint32_t port : {4u, 5u, 6u})
	{
		const std::vector<uint32_t> before = shown (*ui);
		ui->event (port, 0.f);
		ui->runFor (60);
		EXPECT_NE (shown (*ui), before) << port;
	}
	// Out of range is clamped: Size beyond 10 m shows the knob at its end, as 10 does.
	ui->event (4, 1e9f);
	ui->runFor (60);
	const std::vector<uint32_t> clamped = shown (*ui);
	ui->event (4, 10.f);
	ui->runFor (60);
	EXPECT_EQ (shown (*ui), clamped);
	EXPECT_TRUE (ui->written.empty ());
}

TEST_F (Lv2UiWindow, TwoAtOnceAndCleanupLeavesNothingOpen)
{
	const size_t descriptors = openDescriptors ();
	{
		auto first = open ();
		auto second = open ();
		ASSERT_TRUE (first && second);
		EXPECT_NE (first->window (), second->window ());
		EXPECT_EQ (parent.children ().size (), 2u);
		first->event (4, 0.f);
		first->runFor (60);
		second->runFor (60);
		EXPECT_NE (shown (*first), shown (*second));
	}
	parent.sync ();
	EXPECT_TRUE (parent.children ().empty ());
	EXPECT_EQ (openDescriptors (), descriptors);
}

// ui:scaleFactor from opts:options sizes the window and the size asked through ui:resize, limited
// to 1..4; an unusable option (not finite, another type or size, no urid:map) is ignored.
TEST_F (Lv2UiWindow, ScaleFactorOptionSizesTheWindow)
{
	const std::pair<int, int> unscaled {281, 232};
	const struct
	{
		float factor;
		const char* type;
		uint32_t size;
		bool withMap;
		std::pair<int, int> expected;
	} cases[] = {
	    {2.f, LV2_ATOM__Float, 4, true, {562, 464}},  {10.f, LV2_ATOM__Float, 4, true, {1124, 928}},
	    {0.25f, LV2_ATOM__Float, 4, true, unscaled},  {NAN, LV2_ATOM__Float, 4, true, unscaled},
	    {2.f, LV2_ATOM__Int, 4, true, unscaled},      {2.f, LV2_ATOM__Float, 8, true, unscaled},
	    {2.f, LV2_ATOM__Float, 4, false, unscaled},
	};
	for (const auto& c : cases)
	{
		ScaleFactorOption option (c.factor, c.type, c.size);
		auto ui = open (option.options, c.withMap);
		ASSERT_TRUE (ui) << c.factor;
		EXPECT_EQ (ui->askedSize, c.expected) << c.factor << " " << c.type;
		EXPECT_EQ (windowSizeSettlingAt (*ui, c.expected), c.expected) << c.factor << " " << c.type;
	}
}

// opts:interface: a new ui:scaleFactor resizes the open window and asks the host through
// ui:resize; get reports the factor the host set (none before); unusable values are refused.
TEST_F (Lv2UiWindow, OptionsInterfaceRescalesTheOpenWindow)
{
	auto ui = open ();
	ASSERT_TRUE (ui);
	const auto* options = static_cast<const LV2_Options_Interface*> (descriptor->extension_data (LV2_OPTIONS__interface));
	ASSERT_TRUE (options);
	ScaleFactorOption query (0.f, LV2_ATOM__Float, 0), two (2.f), notFinite (NAN), wrongType (3.f, LV2_ATOM__Int);
	EXPECT_EQ (options->get (ui->handle, query.options), uint32_t (LV2_OPTIONS_ERR_UNKNOWN));
	EXPECT_EQ (options->set (ui->handle, two.options), uint32_t (LV2_OPTIONS_SUCCESS));
	EXPECT_EQ (ui->askedSize, std::make_pair (562, 464));
	EXPECT_EQ (windowSizeSettlingAt (*ui, {562, 464}), std::make_pair (562, 464));
	EXPECT_EQ (options->set (ui->handle, notFinite.options), uint32_t (LV2_OPTIONS_ERR_BAD_VALUE));
	EXPECT_EQ (options->set (ui->handle, wrongType.options), uint32_t (LV2_OPTIONS_ERR_BAD_VALUE));
	ASSERT_EQ (options->get (ui->handle, query.options), uint32_t (LV2_OPTIONS_SUCCESS));
	EXPECT_EQ (query.options[0].size, 4u);
	EXPECT_EQ (*static_cast<const float*> (query.options[0].value), 2.f);
	EXPECT_EQ (ui->askedSize, std::make_pair (562, 464));
}

// A feature with a null URI (a faulty host) is skipped: the editor opens with the others.
TEST_F (Lv2UiWindow, FeaturesWithNullUrisAreSkipped)
{
	HostedUi ui (descriptor, parent.id (), kBundle, true, true);
	ASSERT_NE (ui.handle, nullptr);
	EXPECT_EQ (ui.askedSize, std::make_pair (281, 232));
	EXPECT_EQ (HostedUi (descriptor, parent.id (), kBundle, false, true).handle, nullptr);
}

TEST_F (Lv2UiWindow, RefusesWithoutParentOrResources)
{
	EXPECT_EQ (HostedUi (descriptor, parent.id (), kBundle, false).handle, nullptr);
	EXPECT_EQ (HostedUi (descriptor, 0, kBundle).handle, nullptr);
	// A window that does not exist.
	EXPECT_EQ (HostedUi (descriptor, 0x1fffffff, kBundle).handle, nullptr);

	// A copy of the binary in a bundle without Resources, and one whose description is broken.
	namespace fs = std::filesystem;
	const fs::path scratch = fs::path (testing::TempDir ()) / "kt3-lv2ui-scratch";
	fs::remove_all (scratch);
	fs::create_directories (scratch / "bare");
	fs::copy_file (kBundle + "/KT3_ui.so", scratch / "bare/KT3_ui.so");
	void* bare = dlopen ((scratch / "bare/KT3_ui.so").c_str (), RTLD_NOW | RTLD_LOCAL);
	ASSERT_NE (bare, nullptr) << dlerror ();
	const auto* bareDescriptor = reinterpret_cast<LV2UI_DescriptorFunction> (dlsym (bare, "lv2ui_descriptor")) (0);
	EXPECT_EQ (HostedUi (bareDescriptor, parent.id (), (scratch / "bare/").string ()).handle, nullptr);

	fs::create_directories (scratch / "broken/Resources");
	std::ofstream (scratch / "broken/Resources/FX_KT3.uidesc") << "<vstgui-ui-description";
	EXPECT_EQ (HostedUi (bareDescriptor, parent.id (), (scratch / "broken").string ()).handle, nullptr);
	dlclose (bare);
	EXPECT_TRUE (parent.children ().empty ());
	fs::remove_all (scratch);
}
