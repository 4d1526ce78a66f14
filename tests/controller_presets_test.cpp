// The reverb controller's program-change parameter: choosing a factory preset sets the four
// reverb parameters and asks the host to re-read them.
#include "directprocessor.h"
#include "lockinghandler.h"
#include "factorypresets.h"
#include "hostedcontroller.h"
#include "kt3ids.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

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

	// Served until the restart the last preset choice asked for has arrived.
	bool restartArrives () { return handler->serveUntil ([&] { return !handler->restarts.empty (); }, 5000); }

	IPtr<kt3host::LockingHandler> handler = owned (new kt3host::LockingHandler);
};

} // namespace

// The host holds a lock of its own while it sets the program and takes it again in
// restartComponent, as some DAWs do: the restart comes after the call, from the host's run
// loop, once however quickly presets are chosen, and the processor's state holds the values
// before any block runs.
TEST (ReverbControllerPresets, ChoosingAPresetSetsTheFourValuesAndRestartsThemLater)
{
	PresetsController c;
	kt3host::DirectProcessor processor;
	processor.connect (c.connection);
	c.connection->connect (FUnknownPtr<IConnectionPoint> (processor.component ()));
	c.edit->setParamNormalized (kBypassId, 1.0);
	for (int32 i = kFactoryPresetCount - 1; i >= 0; --i)
	{
		c.handler->restarts.clear ();
		c.handler->whileLocked ([&] {
			EXPECT_EQ (c.edit->setParamNormalized (kPresetsId, c.programValue (i)), kResultOk);
			EXPECT_EQ (c.edit->setParamNormalized (kPresetsId, c.programValue (i)), kResultOk);
		});
		c.expectPreset (i);
		EXPECT_EQ (c.text (kPresetsId, c.edit->getParamNormalized (kPresetsId)), factoryPreset (i).name);
		const kt3host::Bytes state = kt3host::getState (processor.component ());
		ASSERT_EQ (state.size (), 40u);
		for (ParamID id = 0; id < kReverbParamCount; ++id)
		{
			double saved = 0.0;
			std::memcpy (&saved, &state[4 + 8 * id], 8);
			EXPECT_EQ (saved, presetNormalized (factoryPreset (i), id)) << factoryPreset (i).name;
		}
		ASSERT_TRUE (c.restartArrives ()) << factoryPreset (i).name;
		EXPECT_EQ (c.handler->restarts, std::vector<int32> {kParamValuesChanged});
	}
	EXPECT_EQ (c.handler->deadlocks, 0);
	EXPECT_EQ (c.edit->getParamNormalized (kBypassId), 1.0); // a preset leaves the bypass alone
	EXPECT_TRUE (c.handler->edits.empty ()); // the host set the value: nothing to report back
	c.connection->disconnect (FUnknownPtr<IConnectionPoint> (processor.component ()));
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
	ASSERT_TRUE (c.restartArrives ());
	c.handler->restarts.clear ();
	const kt3host::Bytes state {4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
	                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
	EXPECT_EQ (kt3host::setComponentState (c.edit, state), kResultOk);
	EXPECT_EQ (c.edit->getParamNormalized (kPresetsId), c.programValue (5));
	EXPECT_EQ (c.edit->getParamNormalized (kSizeId), 0.0);
	EXPECT_TRUE (c.handler->restarts.empty ());
}
