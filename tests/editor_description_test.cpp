// The UI description as the editor reads it: the template and its four views with every value
// that matters at run time, the value syntax, and descriptions that must give no editor.
#include "offscreeneditor.h"
#include "scratchresources.h"

#include "vstgui/uidescription/uidescription.h"

#include <cmath>
#include <iterator>

using namespace VSTGUI;

namespace {

constexpr double kPI = 3.14159265358979323846;

std::string description (const std::string& body)
{
	return "<?xml version=\"1.0\"?>\n<vstgui-ui-description version=\"1\">" + body + "</vstgui-ui-description>";
}

const std::string kSmallTemplate =
    "<template name=\"Editor\" size=\"100, 50\" class=\"CViewContainer\">"
    "<view class=\"CAnimKnob\" origin=\"10, 10\" size=\"20, 20\" control-tag=\"Root::Size\"/></template>"
    "<control-tags><control-tag name=\"Root::Size\" tag=\"0\"/></control-tags>";

std::string realResource (const std::string& name)
{
	return std::string (KT3_RESOURCES_DIR) + "/" + name;
}

std::string contentOf (const std::string& path)
{
	std::ifstream in (path, std::ios::binary);
	return {std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char> ()};
}

// A resource folder of links to the real description and bitmaps, as a bundle installed
// through links has, but for the entry named except, which the test makes itself.
struct LinkedResources : ScratchResources
{
	explicit LinkedResources (const std::string& except = "")
	{
		for (const char* name : {"FX_KT3.uidesc", "kt3.png", "knob_kt3.png", "about_kt3.png"})
			if (name != except)
				link (name, realResource (name));
	}
};

// Entries that are no readable file. Read as a stream, a FIFO blocks until a writer comes,
// /dev/zero never ends and a directory throws.
const std::pair<const char*, void (*) (ScratchResources&, const std::string&)> kUnreadableEntries[] = {
    {"a FIFO", [] (ScratchResources& r, const std::string& name) { r.fifo (name); }},
    {"a link to /dev/zero", [] (ScratchResources& r, const std::string& name) { r.link (name, "/dev/zero"); }},
    {"a directory", [] (ScratchResources& r, const std::string& name) { r.directory (name); }},
    {"an empty file", [] (ScratchResources& r, const std::string& name) { r.write (name, ""); }},
    {"a link to nowhere", [] (ScratchResources& r, const std::string& name) { r.link (name, r.path ("gone")); }},
};

// Runs expect on resource folders where the entry name is each of the unreadable entries in
// turn, then (unless the test runs as root, whom permissions do not bind) a copy of the real
// file without read permission.
template <typename Expect>
void forEachUnreadable (const std::string& name, Expect expect)
{
	for (const auto& [what, make] : kUnreadableEntries)
	{
		SCOPED_TRACE (what);
		LinkedResources r (name);
		make (r, name);
		expect (r);
	}
	if (geteuid () == 0)
		return;
	SCOPED_TRACE ("a file without read permission");
	LinkedResources locked (name);
	locked.write (name, contentOf (realResource (name)));
	ASSERT_EQ (chmod (locked.path (name).c_str (), 0), 0);
	expect (locked);
}

// Ends the test run (SIGALRM) if the scope takes longer than this: an editor waiting on a file
// would otherwise hang it for good.
struct Deadline
{
	explicit Deadline (unsigned seconds = 60) { alarm (seconds); }
	~Deadline () { alarm (0); }
};

// The editor object is made but has no size and opens nothing.
void expectNoEditor (const std::string& resources)
{
	OffscreenEditor e (0.7, 0.7, 0.9, resources);
	ASSERT_NE (e.editor, nullptr);
	EXPECT_EQ (e.frame, nullptr);
	Steinberg::ViewRect size;
	e.view->getSize (&size);
	EXPECT_EQ (size.getWidth (), 0);
	EXPECT_EQ (size.getHeight (), 0);
	EXPECT_NE (e.view->attached (reinterpret_cast<void*> (uintptr_t (1)), Steinberg::kPlatformTypeX11EmbedWindowID),
	           Steinberg::kResultTrue);
}

} // namespace

TEST (EditorDescription, TemplateCarriesTheFixedPanel)
{
	OffscreenEditor e;
	ASSERT_NE (e.frame, nullptr);
	EXPECT_EQ (e.frame->getViewSize (), CRect (0, 0, 281, 232));
	CViewContainer* panel = e.panel ();
	ASSERT_NE (panel, nullptr);
	EXPECT_EQ (panel->getViewSize (), CRect (0, 0, 281, 232));
	ASSERT_NE (panel->getBackground (), nullptr);
	EXPECT_EQ (panel->getBackground ()->getWidth (), 281);
	EXPECT_EQ (panel->getBackground ()->getHeight (), 232);
	EXPECT_EQ (panel->getBackgroundColor (), kBlackCColor);
	EXPECT_EQ (panel->getBackgroundColorDrawStyle (), kDrawFilledAndStroked);
	EXPECT_TRUE (panel->getMouseEnabled ());
	EXPECT_FALSE (panel->getTransparency ());
	// The description's four views, then the value readouts under the three knobs.
	EXPECT_EQ (panel->getNbViews (), 7u);

	Steinberg::ViewRect size;
	ASSERT_EQ (e.view->getSize (&size), Steinberg::kResultTrue);
	EXPECT_EQ (size.getWidth (), 281);
	EXPECT_EQ (size.getHeight (), 232);
}

TEST (EditorDescription, KnobsInOrderWithTheirTagsAndGeometry)
{
	OffscreenEditor e;
	struct Expected
	{
		CRect rect;
		int32_t tag;
		float defaultValue;
		const char* tooltip;
	} expected[] = {
	    {CRect (26, 84, 90, 148), 0, 0.7f, "size (m)"},
	    {CRect (106, 84, 170, 148), 1, 0.7f, "hf damp (%)"},
	    // Mix stands 2 pixels higher.
	    {CRect (188, 82, 252, 146), 2, 0.9f, "mix (%)"},
	};
	for (size_t i = 0; i < 3; ++i)
	{
		SCOPED_TRACE (expected[i].tooltip);
		CAnimKnob* knob = e.knob (i);
		ASSERT_NE (knob, nullptr);
		EXPECT_EQ (knob->getViewSize (), expected[i].rect);
		EXPECT_EQ (knob->getTag (), expected[i].tag);
		EXPECT_EQ (knob->getListener (), e.editor);
		EXPECT_FLOAT_EQ (knob->getDefaultValue (), expected[i].defaultValue);
		EXPECT_EQ (knob->getTooltipText (), expected[i].tooltip);
		EXPECT_EQ (knob->getNumSubPixmaps (), 101);
		EXPECT_EQ (knob->getHeightOfOneImage (), 64);
		EXPECT_FLOAT_EQ (knob->getStartAngle (), static_cast<float> (kPI * 3 / 4));
		EXPECT_FLOAT_EQ (knob->getRangeAngle (), static_cast<float> (kPI * 3 / 2));
		EXPECT_FLOAT_EQ (knob->getZoomFactor (), 1.5f);
		EXPECT_FLOAT_EQ (knob->getWheelInc (), 0.1f);
		EXPECT_EQ (knob->getMin (), 0.f);
		EXPECT_EQ (knob->getMax (), 1.f);
		EXPECT_TRUE (knob->getMouseEnabled ());
	}
}

TEST (EditorDescription, CreditsTriggerIsAnInvisibleClickArea)
{
	OffscreenEditor e;
	CAnimationSplashScreen* credits = e.credits ();
	ASSERT_NE (credits, nullptr);
	EXPECT_EQ (credits->getViewSize (), CRect (190, 26, 254, 72));
	EXPECT_EQ (credits->getBackground (), nullptr);
	EXPECT_EQ (credits->getTag (), -1);
	EXPECT_EQ (credits->getListener (), nullptr);
	EXPECT_EQ (credits->getSplashRect (), CRect (25, 16, 255, 216));
	ASSERT_NE (credits->getModalView ()->getBackground (), nullptr);
	EXPECT_EQ (credits->getModalView ()->getBackground ()->getWidth (), 230);
	EXPECT_EQ (credits->getAnimationIndex (), 0);
	EXPECT_EQ (credits->getAnimationTime (), 500u);
	EXPECT_FLOAT_EQ (credits->getDefaultValue (), 0.5f);
}

TEST (EditorDescription, TagsBitmapsAndCustomSets)
{
	setResourceFolder (KT3_RESOURCES_DIR);
	UIDescription d ("FX_KT3.uidesc");
	ASSERT_TRUE (d.parse ());
	EXPECT_EQ (d.getTagForName ("Root::Size"), 0);
	EXPECT_EQ (d.getTagForName ("Root::HFDamp"), 1);
	EXPECT_EQ (d.getTagForName ("Root::Mix"), 2);
	EXPECT_EQ (d.getTagForName ("Root::Output"), 3);
	EXPECT_EQ (d.getTagForName ("Root::Bypass"), 1651532147);
	EXPECT_EQ (d.getTagForName ("Size"), -1);
	// Named but not shipped: nothing to draw, no failure.
	EXPECT_EQ (d.getBitmap ("kt3a"), nullptr);
	EXPECT_NE (d.getBitmap ("about_kt3"), nullptr);
	// Focus drawing stays off: the set is empty and the legacy set holds no focus keys.
	ASSERT_NE (d.getCustomAttributes ("FocusDrawing"), nullptr);
	EXPECT_FALSE (d.getCustomAttributes ("FocusDrawing")->hasAttribute ("enabled"));
	OffscreenEditor e;
	EXPECT_FALSE (e.frame->getFocusDrawing ().enabled);
}

TEST (EditorDescription, ValueSyntax)
{
	EXPECT_EQ (parsePoint ("26, 84"), CPoint (26, 84));
	EXPECT_EQ (parsePoint (" 1.5 ,2 "), CPoint (1.5, 2));
	EXPECT_FALSE (parsePoint ("26 84"));
	EXPECT_FALSE (parsePoint ("1, 2, 3"));
	EXPECT_FALSE (parsePoint ("a, 2"));
	EXPECT_EQ (parseBoolean ("true"), true);
	EXPECT_EQ (parseBoolean ("false"), false);
	EXPECT_FALSE (parseBoolean ("TRUE"));
	EXPECT_FALSE (parseBoolean ("1"));
	EXPECT_EQ (parseTagValue ("1651532147"), 1651532147);
	EXPECT_EQ (parseTagValue ("'bpas'"), 1651532147);
	EXPECT_EQ (parseTagValue ("(2 + 3) * 4 - 1"), 19);
	EXPECT_EQ (parseTagValue ("7 / 2"), 3);
	EXPECT_FALSE (parseTagValue ("7xyz"));
	EXPECT_FALSE (parseTagValue ("1 / 0"));
	EXPECT_EQ (parseLeadingInteger ("7xyz"), 7);
}

TEST (EditorDescription, UnknownClassesAttributesAndTagsAreTolerated)
{
	ScratchResources r;
	r.write ("odd.uidesc", description (
	    "<template name=\"Editor\" size=\"100, 50\" flavour=\"sweet\">"
	    "<view class=\"CNoSuchView\" origin=\"1, 2\" size=\"3, 4\" transparent=\"yes\"/>"
	    "<view class=\"CAnimKnob\" origin=\"10, 10\" size=\"20, 20\" control-tag=\"7xyz\" angle-start=\"x\"/>"
	    "<view class=\"CAnimKnob\" origin=\"40, 10\" size=\"20, 20\" control-tag=\"Nowhere\"/>"
	    "<note>kept, but no view</note></template>"));
	setResourceFolder (r.folder);
	UIDescription d ("odd.uidesc");
	ASSERT_TRUE (d.parse ());
	std::unique_ptr<CView> view (d.createView ("Editor", nullptr));
	auto* container = dynamic_cast<CViewContainer*> (view.get ());
	ASSERT_NE (container, nullptr);
	ASSERT_EQ (container->getNbViews (), 3u);
	auto* unknown = dynamic_cast<CViewContainer*> (container->getView (0));
	ASSERT_NE (unknown, nullptr);
	EXPECT_EQ (unknown->getViewSize (), CRect (1, 2, 4, 6));
	EXPECT_FALSE (unknown->getTransparency ());
	auto* numeric = dynamic_cast<CAnimKnob*> (container->getView (1));
	ASSERT_NE (numeric, nullptr);
	EXPECT_EQ (numeric->getTag (), 7);
	EXPECT_FLOAT_EQ (numeric->getStartAngle (), static_cast<float> (kPI * 3 / 4));
	EXPECT_EQ (dynamic_cast<CControl*> (container->getView (2))->getTag (), -1);
}

TEST (EditorDescription, ResourcesMatchWithoutRegardToCase)
{
	ScratchResources r;
	r.write ("FX_KT3.UIDESC", description (kSmallTemplate + "<bitmaps><bitmap name=\"k\" path=\"knob.png\"/></bitmaps>"));
	r.write ("KNOB.PNG", "not a png");
	EXPECT_EQ (findFileIgnoringCase (r.folder, "fx_kt3.uidesc"), r.folder + "/FX_KT3.UIDESC");
	EXPECT_EQ (findFileIgnoringCase (r.folder, "knob.png"), r.folder + "/KNOB.PNG");
	EXPECT_EQ (findFileIgnoringCase (r.folder, "../knob.png"), "");
	setResourceFolder (r.folder);
	UIDescription d ("FX_KT3.uidesc");
	EXPECT_TRUE (d.parse ());
	// Found, but unreadable as a picture: drawn as nothing.
	EXPECT_EQ (d.getBitmap ("k"), nullptr);
}

TEST (EditorDescription, BrokenDescriptionsGiveNoEditor)
{
	const std::pair<const char*, std::string> cases[] = {
	    {"not XML", "<vstgui-ui-description version=\"1\"><template name=\"Editor\""},
	    {"wrong root", "<?xml version=\"1.0\"?><ui-description>" + kSmallTemplate + "</ui-description>"},
	    {"unknown section", description (kSmallTemplate + "<widgets/>")},
	    {"stray entry", description (kSmallTemplate + "<bitmaps><image name=\"a\" path=\"a.png\"/></bitmaps>")},
	    {"no such template", description ("<template name=\"Other\" size=\"10, 10\"/>")},
	    {"empty file", ""},
	    // A window of this size could not be allocated.
	    {"template too large", description ("<template name=\"Editor\" size=\"100000, 100000\"/>")},
	    {"template with a negative size", description ("<template name=\"Editor\" size=\"-5, 10\"/>")},
	};
	for (const auto& [what, content] : cases)
	{
		SCOPED_TRACE (what);
		ScratchResources r;
		r.write ("FX_KT3.uidesc", content);
		expectNoEditor (r.folder);
	}
	// And when the file is not there at all.
	ScratchResources empty;
	expectNoEditor (empty.folder);
}

TEST (EditorDescription, HostileGeometryAndNestingGiveNoEditorOrAShallowOne)
{
	// The template's view claims a size no window can have: the editor does not open.
	for (const char* size : {"1e300, 10", "10, -1e9", "-10, 10"})
	{
		SCOPED_TRACE (size);
		ScratchResources r;
		r.writeDescription ("FX_KT3.uidesc", std::string ("<template name=\"Editor\" class=\"CViewContainer\" size=\"") +
		                                         size + "\"/>");
		OffscreenEditor e (0.7, 0.7, 0.9, r.folder);
		EXPECT_EQ (e.frame, nullptr);
	}

	// Views nested 20000 deep: the editor opens, with the tree cut at a depth it can recurse into.
	std::string nested;
	for (int i = 0; i < 20000; ++i)
		nested += "<view class=\"CViewContainer\" size=\"10, 10\">";
	for (int i = 0; i < 20000; ++i)
		nested += "</view>";
	ScratchResources r;
	r.writeDescription ("FX_KT3.uidesc", "<template name=\"Editor\" class=\"CViewContainer\" size=\"100, 50\">" +
	                                         nested + "</template>");
	OffscreenEditor e (0.7, 0.7, 0.9, r.folder);
	ASSERT_NE (e.frame, nullptr);
	int depth = 0;
	for (CView* v = e.panel (); auto* c = dynamic_cast<CViewContainer*> (v); v = c->getNbViews () ? c->getView (0) : nullptr)
		++depth;
	EXPECT_GT (depth, 10);
	EXPECT_LT (depth, 100);
}

TEST (EditorDescription, LinkedResourcesAreRead)
{
	LinkedResources r;
	OffscreenEditor e (0.7, 0.7, 0.9, r.folder);
	ASSERT_NE (e.frame, nullptr);
	ASSERT_NE (e.panel ()->getBackground (), nullptr);
	EXPECT_EQ (e.panel ()->getBackground ()->getWidth (), 281);
	EXPECT_NE (e.knob (0)->getBackground (), nullptr);
	EXPECT_NE (e.credits ()->getModalView ()->getBackground (), nullptr);
}

TEST (EditorDescription, UnreadableBitmapFilesAreDrawnAsNothingAtOnce)
{
	auto expectPanelWithoutPicture = [] (const ScratchResources& r) {
		Deadline deadline;
		OffscreenEditor e (0.7, 0.7, 0.9, r.folder);
		ASSERT_NE (e.frame, nullptr);
		EXPECT_EQ (e.panel ()->getBackground (), nullptr);
		// The other bitmaps are still drawn.
		EXPECT_NE (e.knob (0)->getBackground (), nullptr);
	};
	forEachUnreadable ("kt3.png", expectPanelWithoutPicture);
	// The real picture followed by zeros up to a byte past the limit (the decoder ignores what
	// follows the end chunk, as a few zeros show).
	LinkedResources padded ("kt3.png");
	padded.sparse ("kt3.png", contentOf (realResource ("kt3.png")), static_cast<off_t> (CBitmap::kMaxFileBytes) + 1);
	expectPanelWithoutPicture (padded);
	LinkedResources fewZeros ("kt3.png");
	fewZeros.sparse ("kt3.png", contentOf (realResource ("kt3.png")), 60000);
	EXPECT_NE (CBitmap::loadPNG (fewZeros.path ("kt3.png")), nullptr);
}

TEST (EditorDescription, UnreadableDescriptionFilesGiveNoEditorAtOnce)
{
	auto expectNoEditorAtOnce = [] (const ScratchResources& r) {
		Deadline deadline;
		expectNoEditor (r.folder);
	};
	forEachUnreadable ("FX_KT3.uidesc", expectNoEditorAtOnce);
	// The real description padded with spaces to the limit opens; one space more does not.
	const std::string real = contentOf (realResource ("FX_KT3.uidesc"));
	LinkedResources atLimit ("FX_KT3.uidesc");
	atLimit.write ("FX_KT3.uidesc", real + std::string (UIDescription::kMaxFileBytes - real.size (), ' '));
	OffscreenEditor opened (0.7, 0.7, 0.9, atLimit.folder);
	EXPECT_NE (opened.frame, nullptr);
	LinkedResources overLimit ("FX_KT3.uidesc");
	overLimit.write ("FX_KT3.uidesc", real + std::string (UIDescription::kMaxFileBytes + 1 - real.size (), ' '));
	expectNoEditorAtOnce (overLimit);
}

TEST (EditorDescription, AsManyViewsAsTheLimitAllowsOpenAndCloseAtOnce)
{
	// 600,000 empty views in one container, which an editor builds, draws and closes in well
	// under a second (a few under the sanitizers) as long as each step is linear in the views.
	const std::string head = "<template name=\"Editor\" size=\"100, 50\" class=\"CViewContainer\">";
	const std::string tail = "</template>";
	const std::string view = "<view/>";
	const size_t frame = description (head + tail).size ();
	std::string views;
	for (size_t n = (UIDescription::kMaxFileBytes - frame) / view.size (); n > 0; --n)
		views += view;
	ScratchResources r;
	r.write ("FX_KT3.uidesc", description (head + views + tail));
	Deadline deadline (30);
	OffscreenEditor e (0.7, 0.7, 0.9, r.folder);
	ASSERT_NE (e.frame, nullptr);
	EXPECT_GT (e.panel ()->getNbViews (), 590000u);
}
