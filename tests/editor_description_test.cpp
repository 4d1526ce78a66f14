// The UI description as the editor reads it: the template and its four views with every value
// that matters at run time, the value syntax, and descriptions that must give no editor.
#include "offscreeneditor.h"
#include "scratchresources.h"

#include "vstgui/uidescription/uidescription.h"

#include <cmath>

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
	EXPECT_EQ (panel->getNbViews (), 4u);

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

TEST (EditorDescription, ResourceFolderFromTheModulePath)
{
	EXPECT_EQ (resourceFolderFromModulePath ("/nowhere/KT3.vst3/Contents/x86_64-linux/KT3.so"),
	           "/nowhere/KT3.vst3/Contents/Resources");
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
		OffscreenEditor e (0.7, 0.7, 0.9, r.folder);
		ASSERT_NE (e.editor, nullptr);
		EXPECT_EQ (e.frame, nullptr);
		Steinberg::ViewRect size;
		e.view->getSize (&size);
		EXPECT_EQ (size.getWidth (), 0);
		EXPECT_EQ (size.getHeight (), 0);
		EXPECT_NE (e.view->attached (reinterpret_cast<void*> (uintptr_t (1)), Steinberg::kPlatformTypeX11EmbedWindowID),
		           Steinberg::kResultTrue);
	}
	// And when the file is not there at all.
	ScratchResources empty;
	OffscreenEditor missing (0.7, 0.7, 0.9, empty.folder);
	EXPECT_EQ (missing.frame, nullptr);
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
