// The reverb controller's program-change parameter: choosing a factory preset sets the four
// reverb parameters and asks the host to re-read them.
#include "edithandler.h"
#include "factorypresets.h"
#include "hostedcontroller.h"
#include "kt3ids.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

struct PresetsController : HostedController<>
{
	PresetsController () { edit->setComponentHandler (handler); }
	~PresetsController () { edit->setComponentHandler (nullptr); }

	double programValue (int32 index) { return edit->plainParamToNormalized (kPresetsId, index); }
	void expectPreset (int32 index)
	{
		for (ParamID id = 0; id < kReverbParamCount; ++id)
			EXPECT_EQ (edit->getParamNormalized (id), presetNormalized (factoryPreset (index), id))
			    << factoryPreset (index).name << ", parameter " << id;
	}

	IPtr<kt3host::EditHandler> handler = owned (new kt3host::EditHandler);
};

} // namespace

TEST (ReverbControllerPresets, ChoosingAPresetSetsTheFourValuesAndRestartsThem)
{
	PresetsController c;
	c.edit->setParamNormalized (kBypassId, 1.0);
	for (int32 i = kFactoryPresetCount - 1; i >= 0; --i)
	{
		c.handler->restarts.clear ();
		EXPECT_EQ (c.edit->setParamNormalized (kPresetsId, c.programValue (i)), kResultOk);
		c.expectPreset (i);
		EXPECT_EQ (c.text (kPresetsId, c.edit->getParamNormalized (kPresetsId)), factoryPreset (i).name);
		ASSERT_EQ (c.handler->restarts.size (), 1u);
		EXPECT_EQ (c.handler->restarts[0], kParamValuesChanged);
	}
	EXPECT_EQ (c.edit->getParamNormalized (kBypassId), 1.0); // a preset leaves the bypass alone
	EXPECT_TRUE (c.handler->edits.empty ()); // the host set the value: nothing to report back
}

TEST (ReverbControllerPresets, TheSamePresetAgainResetsEditedValues)
{
	PresetsController c;
	c.edit->setParamNormalized (kPresetsId, c.programValue (3));
	c.edit->setParamNormalized (kSizeId, 0.01);
	c.edit->setParamNormalized (kPresetsId, c.programValue (3));
	c.expectPreset (3);
}

TEST (ReverbControllerPresets, NotANumberChangesNothing)
{
	PresetsController c;
	c.edit->setParamNormalized (kPresetsId, c.programValue (2));
	c.edit->setParamNormalized (kSizeId, 0.01);
	c.handler->restarts.clear ();
	c.edit->setParamNormalized (kPresetsId, std::nan (""));
	EXPECT_EQ (c.edit->getParamNormalized (kSizeId), 0.01);
	EXPECT_TRUE (c.handler->restarts.empty ());
}

// A preset name typed into a host's field selects it, and a stored state leaves the choice be:
// the state holds the values, not the preset.
TEST (ReverbControllerPresets, NamesReadBackAndStatesLeaveTheChoice)
{
	PresetsController c;
	for (int32 i = 0; i < kFactoryPresetCount; ++i)
		EXPECT_EQ (c.typed (kPresetsId, factoryPreset (i).name), c.programValue (i));
	c.edit->setParamNormalized (kPresetsId, c.programValue (5));
	c.handler->restarts.clear ();
	const kt3host::Bytes state {4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
	                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
	EXPECT_EQ (kt3host::setComponentState (c.edit, state), kResultOk);
	EXPECT_EQ (c.edit->getParamNormalized (kPresetsId), c.programValue (5));
	EXPECT_EQ (c.edit->getParamNormalized (kSizeId), 0.0);
	EXPECT_TRUE (c.handler->restarts.empty ());
}
