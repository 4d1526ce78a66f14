// The controller reading the processor's state stream: the same bytes go to a real processor
// and to the controller, which must end with the values the processor reports through
// getState, or, where the processor refuses the stream, with nothing changed on either side.
#include "hostedcontroller.h"
#include "baseparameter.h"
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "statebytes.h"
#include "statestream.h"

#include "public.sdk/source/common/memorystream.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using kt3host::Bytes;
using Values = std::vector<double>;

namespace {

constexpr ParamID kIds[] = {kSizeId, kHFDampId, kMixId, kOutputId, kBypassId};
const double kNaN = std::numeric_limits<double>::quiet_NaN ();
const double kInf = std::numeric_limits<double>::infinity ();

Bytes stateBytes (uint32 count, const Values& values, std::optional<int32> bypass)
{
	auto stream = owned (new MemoryStream);
	writeUInt32LE (stream, count);
	for (double value : values)
		writeDoubleLE (stream, value);
	if (bypass)
		writeUInt32LE (stream, static_cast<uint32> (*bypass));
	const auto* data = reinterpret_cast<const uint8*> (stream->getData ());
	return Bytes (data, data + stream->getSize ());
}

Values controllerValues (IEditController* edit)
{
	Values out;
	for (ParamID id : kIds)
		out.push_back (edit->getParamNormalized (id));
	return out;
}

// The processor's values as its getState writes them, bypass last (0 or 1), in kIds' order.
Values processorValues (IComponent* component)
{
	const Bytes saved = kt3host::getState (component);
	EXPECT_EQ (saved.size (), 40u);
	auto stream = owned (new MemoryStream);
	stream->write (const_cast<uint8*> (saved.data ()), static_cast<int32> (saved.size ()), nullptr);
	stream->seek (0, IBStream::kIBSeekSet, nullptr);
	uint32 count = 0;
	readUInt32LE (stream, count);
	Values out (kReverbParamCount, -1.0);
	for (double& value : out)
		readDoubleLE (stream, value);
	int32 bypass = -1;
	readInt32LE (stream, bypass);
	out.push_back (bypass);
	return out;
}

struct Case
{
	const char* name;
	Bytes bytes;
	bool accepted;
};

} // namespace

TEST (ControllerState, MirrorsTheProcessorOnEveryStreamAndRefusesWhatItRefuses)
{
	const Values four {0.1, 0.2, 0.3, 0.4};
	const Case cases[] = {
	    {"well-formed", stateBytes (4, {0.25, 0.5, 0.75, 1.0}, 1), true},
	    {"count 0", stateBytes (0, four, 1), true},
	    {"count 2", stateBytes (2, four, 0), true},
	    {"count 3", stateBytes (3, four, 1), true},
	    {"count 5", stateBytes (5, four, 1), true},
	    {"count 0xFFFFFFFF", stateBytes (0xFFFFFFFF, four, 1), true},
	    // The processor reads four values, then the fifth value's first bytes as the bypass
	    // word: 0.1's low word is not zero, so both end bypassed.
	    {"count 5 with five values", stateBytes (5, {0.9, 0.8, 0.7, 0.6, 0.1}, 0), true},
	    {"bypass word -1", stateBytes (4, four, -1), true},
	    {"bypass word 5", stateBytes (4, four, 5), true},
	    {"values 1.5 and -1", stateBytes (4, {1.5, -1.0, -0.0, 1e300}, 0), true},
	    {"empty", {}, false},
	    {"3 bytes", {4, 0, 0}, false},
	    {"20 bytes", stateBytes (4, {0.1, 0.2}, std::nullopt), false},
	    {"36 bytes (no bypass word)", stateBytes (4, four, std::nullopt), false},
	    {"38 bytes", Bytes (38, 0), false},
	    {"NaN value", stateBytes (4, {0.1, kNaN, 0.3, 0.4}, 1), false},
	    {"+inf value", stateBytes (4, {0.1, 0.2, kInf, 0.4}, 1), false},
	    {"-inf value", stateBytes (4, {-kInf, 0.2, 0.3, 0.4}, 1), false},
	};
	// Both sides start from a state of their own, so that a value left unread shows.
	const Bytes before = stateBytes (4, {0.15, 0.35, 0.55, 0.65}, 0);
	const Values beforeValues {0.15, 0.35, 0.55, 0.65, 0.0};
	for (const Case& c : cases)
	{
		SCOPED_TRACE (c.name);
		kt3host::DirectProcessor processor;
		HostedController<> controller;
		ASSERT_EQ (kt3host::setState (processor.component (), before), kResultOk);
		ASSERT_EQ (kt3host::setComponentState (controller.edit, before), kResultOk);

		const tresult expected = c.accepted ? kResultOk : kResultFalse;
		EXPECT_EQ (kt3host::setState (processor.component (), c.bytes), expected);
		EXPECT_EQ (kt3host::setComponentState (controller.edit, c.bytes), expected);
		EXPECT_EQ (controllerValues (controller.edit), processorValues (processor.component ()));
		if (!c.accepted)
		{
			EXPECT_EQ (controllerValues (controller.edit), beforeValues);
		}
	}
}

TEST (ControllerState, ReadsTheValuesWhateverTheCountWordSays)
{
	HostedController<> c;
	// The processor takes all four values of a stream whose count word says 2: Mix is 0.3.
	ASSERT_EQ (kt3host::setComponentState (c.edit, stateBytes (2, {0.1, 0.2, 0.3, 0.4}, 0)), kResultOk);
	EXPECT_EQ (controllerValues (c.edit), (Values {0.1, 0.2, 0.3, 0.4, 0.0}));
	EXPECT_EQ (c.edit->setComponentState (nullptr), kInvalidArgument);
	EXPECT_EQ (controllerValues (c.edit), (Values {0.1, 0.2, 0.3, 0.4, 0.0}));
}

namespace {

// A controller of another effect, whose processor stores two values.
class TwoValueController : public BaseController
{
public:
	TwoValueController () : BaseController (2) {}
	tresult PLUGIN_API initialize (FUnknown* context) override
	{
		const tresult result = BaseController::initialize (context);
		for (ParamID id : {0u, 1u})
			parameters.addParameter (new BaseParameter (STR16 ("P"), nullptr, 0, 0.5, 0, id, kRootUnitId));
		return result;
	}
};

} // namespace

TEST (ControllerState, TheBaseReadsAsManyValuesAsItsEffectStores)
{
	HostedController<TwoValueController> c;
	ASSERT_EQ (kt3host::setComponentState (c.edit, stateBytes (7, {0.25, 0.75}, 1)), kResultOk);
	EXPECT_EQ (c.edit->getParamNormalized (0), 0.25);
	EXPECT_EQ (c.edit->getParamNormalized (1), 0.75);
	EXPECT_EQ (c.edit->getParamNormalized (kBypassId), 1.0);
	// One value short of two: refused.
	EXPECT_EQ (kt3host::setComponentState (c.edit, stateBytes (2, {0.5}, 0)), kResultFalse);
	EXPECT_EQ (c.edit->getParamNormalized (0), 0.25);
	EXPECT_EQ (c.edit->getParamNormalized (kBypassId), 1.0);
}

TEST (ControllerState, MirrorsTheValuesOfAProcessorsSavedState)
{
	kt3host::DirectProcessor processor;
	HostedController<> c;
	const auto mirror = [&] {
		EXPECT_EQ (kt3host::setComponentState (c.edit, kt3host::getState (processor.component ())),
		           kResultOk);
	};
	mirror ();
	EXPECT_EQ (controllerValues (c.edit), (Values {0.7, 0.7, 0.9, 0.5, 0.0}));

	kt3host::ProcessBlock block (64);
	block.begin (64);
	block.changes ().add (kSizeId, 0.25);
	block.changes ().add (kOutputId, 0.8125);
	block.changes ().add (kBypassId, 1.0);
	block.process (processor.processor ());
	mirror ();
	EXPECT_EQ (controllerValues (c.edit), (Values {0.25, 0.7, 0.9, 0.8125, 1.0}));
}
