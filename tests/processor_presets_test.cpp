// The processor's side of a preset change: the program-change parameter arrives as a parameter
// change and sets the four values in its block; the stored state stays the 40-byte stream.
#include "directprocessor.h"
#include "factorypresets.h"
#include "kt3ids.h"
#include "processblock.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

double programValue (int32 index)
{
	return double (index) / (kFactoryPresetCount - 1);
}

double storedValue (const kt3host::Bytes& state, ParamID id)
{
	double value = 0.0;
	std::memcpy (&value, state.data () + 4 + 8 * id, 8); // the test machines are little-endian
	return value;
}

} // namespace

TEST (ProcessorPresets, AProgramChangeSetsThePresetInItsBlockAndKeepsTheBypass)
{
	kt3host::DirectProcessor p;
	kt3host::ProcessBlock block (64);
	block.begin (0);
	block.changes ().add (kBypassId, 1.0);
	block.process (p.processor ());
	for (int32 i = 0; i < kFactoryPresetCount; ++i)
	{
		block.begin (i % 2 ? 64 : 0); // with samples or without
		block.changes ().add (kPresetsId, programValue (i));
		block.process (p.processor ());
		const kt3host::Bytes state = kt3host::getState (p.component ());
		ASSERT_EQ (state.size (), 40u);
		for (ParamID id = 0; id < kReverbParamCount; ++id)
			EXPECT_EQ (storedValue (state, id), presetNormalized (factoryPreset (i), id));
		EXPECT_EQ (state[36], 1) << "bypassed still";
	}
}

// A host that forwards the four values with the program change, or an automated value in the
// same block: the values sent win over the preset's, in whichever order the queues come.
TEST (ProcessorPresets, ValuesSentWithTheProgramChangeWin)
{
	for (bool presetFirst : {true, false})
	{
		kt3host::DirectProcessor p;
		kt3host::ProcessBlock block (64);
		block.begin (64);
		if (presetFirst)
			block.changes ().add (kPresetsId, programValue (6));
		block.changes ().add (kSizeId, 0.125);
		if (!presetFirst)
			block.changes ().add (kPresetsId, programValue (6));
		block.process (p.processor ());
		const kt3host::Bytes state = kt3host::getState (p.component ());
		EXPECT_EQ (storedValue (state, kSizeId), 0.125);
		EXPECT_EQ (storedValue (state, kMixId), presetNormalized (factoryPreset (6), kMixId));
	}
}

TEST (ProcessorPresets, AProgramChangeThatIsNotANumberChangesNothing)
{
	kt3host::DirectProcessor p;
	kt3host::ProcessBlock block (64);
	const kt3host::Bytes before = kt3host::getState (p.component ());
	block.begin (64);
	block.changes ().add (kPresetsId, std::nan (""));
	block.process (p.processor ());
	EXPECT_EQ (kt3host::getState (p.component ()), before);
}
