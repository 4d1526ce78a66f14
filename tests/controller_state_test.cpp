// The controller reading the processor's state stream: the layout, short and hostile streams,
// and the round trip from a processor's saved state.
#include "hostedcontroller.h"
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "statebytes.h"
#include "statestream.h"

#include "public.sdk/source/common/memorystream.h"
#include <gtest/gtest.h>
#include <cmath>
#include <optional>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

// Counts the reads that reach it, so that a test can tell how far the reading went.
class CountingStream : public MemoryStream
{
public:
	tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
	{
		++reads;
		return MemoryStream::read (buffer, numBytes, numBytesRead);
	}
	int reads = 0;
};

IPtr<CountingStream> stateStream (uint32 count, std::initializer_list<double> values,
                                  std::optional<int32> bypass)
{
	auto stream = owned (new CountingStream);
	writeUInt32LE (stream, count);
	for (double value : values)
		writeDoubleLE (stream, value);
	if (bypass)
		writeUInt32LE (stream, static_cast<uint32> (*bypass));
	stream->seek (0, IBStream::kIBSeekSet, nullptr);
	return stream;
}

constexpr ParamID kIds[] = {kSizeId, kHFDampId, kMixId, kOutputId, kBypassId};

struct StateController : HostedController<>
{
	// Every parameter set to `value` first, so that a value left unread shows.
	explicit StateController (double value = 0.3)
	{
		for (ParamID id : kIds)
			edit->setParamNormalized (id, value);
	}
	std::vector<double> values ()
	{
		std::vector<double> out;
		for (ParamID id : kIds)
			out.push_back (edit->getParamNormalized (id));
		return out;
	}
	tresult read (IBStream* stream) { return edit->setComponentState (stream); }
};

using Values = std::vector<double>;

} // namespace

TEST (ControllerState, ReadsTheProcessorLayout)
{
	StateController c;
	EXPECT_EQ (c.read (stateStream (4, {0.7, 0.7, 0.9, 0.5}, 1)), kResultOk);
	EXPECT_EQ (c.values (), (Values {0.7, 0.7, 0.9, 0.5, 1.0}));
	EXPECT_EQ (c.text (kBypassId, c.edit->getParamNormalized (kBypassId)), "on");

	StateController onlyBypass;
	EXPECT_EQ (onlyBypass.read (stateStream (0, {}, 1)), kResultOk);
	EXPECT_EQ (onlyBypass.values (), (Values {0.3, 0.3, 0.3, 0.3, 1.0}));

	// Values for IDs without a parameter are passed over; the bypass word still follows them.
	StateController longer;
	EXPECT_EQ (longer.read (stateStream (6, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6}, 0)), kResultOk);
	EXPECT_EQ (longer.values (), (Values {0.1, 0.2, 0.3, 0.4, 0.0}));
}

TEST (ControllerState, BypassWordIsClampedToTheSwitch)
{
	StateController c;
	c.read (stateStream (0, {}, 5));
	EXPECT_EQ (c.edit->getParamNormalized (kBypassId), 1.0);
	c.read (stateStream (0, {}, -1));
	EXPECT_EQ (c.edit->getParamNormalized (kBypassId), 0.0);
}

TEST (ControllerState, ShortAndDamagedStreamsChangeOnlyWhatWasRead)
{
	StateController c;
	EXPECT_EQ (c.read (stateStream (4, {}, std::nullopt)), kResultOk);
	EXPECT_EQ (c.values (), (Values {0.3, 0.3, 0.3, 0.3, 0.3}));

	const double nan = std::nan ("");
	EXPECT_EQ (c.read (stateStream (4, {0.1, nan, HUGE_VAL, 0.4}, 1)), kResultOk);
	EXPECT_EQ (c.values (), (Values {0.1, 0.3, 0.3, 0.4, 1.0}));

	auto empty = owned (new CountingStream);
	EXPECT_EQ (c.read (empty), kResultOk);
	EXPECT_EQ (c.read (nullptr), kInvalidArgument);
}

TEST (ControllerState, HugeCountOnAShortStreamStopsAtTheFirstFailedRead)
{
	StateController c;
	auto stream = stateStream (0x7fffffff, {0.1, 0.2}, std::nullopt);
	EXPECT_EQ (c.read (stream), kResultOk);
	EXPECT_LE (stream->reads, 4);
	EXPECT_EQ (c.values (), (Values {0.1, 0.2, 0.3, 0.3, 0.3}));
}

TEST (ControllerState, MirrorsTheValuesOfAProcessorsSavedState)
{
	kt3host::DirectProcessor processor;
	StateController c (0.0);
	ASSERT_EQ (kt3host::setComponentState (c.edit, kt3host::getState (processor.component ())),
	           kResultOk);
	EXPECT_EQ (c.values (), (Values {0.7, 0.7, 0.9, 0.5, 0.0}));

	kt3host::ProcessBlock block (64);
	block.begin (64);
	block.changes ().add (kSizeId, 0.25);
	block.changes ().add (kOutputId, 0.8125);
	block.changes ().add (kBypassId, 1.0);
	block.process (processor.processor ());
	ASSERT_EQ (kt3host::setComponentState (c.edit, kt3host::getState (processor.component ())),
	           kResultOk);
	EXPECT_EQ (c.values (), (Values {0.25, 0.7, 0.9, 0.8125, 1.0}));
}
