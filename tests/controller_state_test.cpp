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
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using Values = std::vector<double>;

namespace {

// Counts the reads that reach it, to tell how far the reading went.
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

IPtr<CountingStream> stream (uint32 count, Values values, std::optional<int32> bypass)
{
	auto s = owned (new CountingStream);
	writeUInt32LE (s, count);
	for (double value : values)
		writeDoubleLE (s, value);
	if (bypass)
		writeUInt32LE (s, static_cast<uint32> (*bypass));
	s->seek (0, IBStream::kIBSeekSet, nullptr);
	return s;
}

// Every parameter starts at `start`, so that a value left unread shows.
struct StateController : HostedController<>
{
	explicit StateController (double start = 0.3)
	{
		for (ParamID id : kIds)
			edit->setParamNormalized (id, start);
	}
	Values values ()
	{
		Values out;
		for (ParamID id : kIds)
			out.push_back (edit->getParamNormalized (id));
		return out;
	}
	static constexpr ParamID kIds[] = {kSizeId, kHFDampId, kMixId, kOutputId, kBypassId};
};

} // namespace

TEST (ControllerState, ReadsTheProcessorLayoutAndClampsTheBypassWord)
{
	StateController c;
	EXPECT_EQ (c.edit->setComponentState (stream (4, {0.7, 0.7, 0.9, 0.5}, 1)), kResultOk);
	EXPECT_EQ (c.values (), (Values {0.7, 0.7, 0.9, 0.5, 1.0}));
	c.edit->setComponentState (stream (0, {}, -1));
	EXPECT_EQ (c.values (), (Values {0.7, 0.7, 0.9, 0.5, 0.0}));
	c.edit->setComponentState (stream (0, {}, 5));
	EXPECT_EQ (c.text (kBypassId, c.edit->getParamNormalized (kBypassId)), "on");
	// Values for IDs without a parameter are passed over; the bypass word still follows them.
	c.edit->setComponentState (stream (6, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6}, 0));
	EXPECT_EQ (c.values (), (Values {0.1, 0.2, 0.3, 0.4, 0.0}));
}

TEST (ControllerState, ShortDamagedAndHostileStreamsChangeOnlyWhatWasRead)
{
	StateController c;
	EXPECT_EQ (c.edit->setComponentState (stream (4, {}, std::nullopt)), kResultOk);
	EXPECT_EQ (c.edit->setComponentState (owned (new CountingStream)), kResultOk);
	EXPECT_EQ (c.edit->setComponentState (nullptr), kInvalidArgument);
	EXPECT_EQ (c.values (), (Values {0.3, 0.3, 0.3, 0.3, 0.3}));

	const Values damaged {0.1, std::nan (""), HUGE_VAL, 0.4};
	EXPECT_EQ (c.edit->setComponentState (stream (4, damaged, 1)), kResultOk);
	EXPECT_EQ (c.values (), (Values {0.1, 0.3, 0.3, 0.4, 1.0}));

	auto hostile = stream (0x7fffffff, {0.5, 0.6}, std::nullopt);
	EXPECT_EQ (c.edit->setComponentState (hostile), kResultOk);
	EXPECT_LE (hostile->reads, 4);
	EXPECT_EQ (c.values (), (Values {0.5, 0.6, 0.3, 0.4, 1.0}));
}

TEST (ControllerState, MirrorsTheValuesOfAProcessorsSavedState)
{
	kt3host::DirectProcessor processor;
	StateController c (0.0);
	const auto mirror = [&] {
		const kt3host::Bytes saved = kt3host::getState (processor.component ());
		EXPECT_EQ (kt3host::setComponentState (c.edit, saved), kResultOk);
	};
	mirror ();
	EXPECT_EQ (c.values (), (Values {0.7, 0.7, 0.9, 0.5, 0.0}));

	kt3host::ProcessBlock block (64);
	block.begin (64);
	block.changes ().add (kSizeId, 0.25);
	block.changes ().add (kOutputId, 0.8125);
	block.changes ().add (kBypassId, 1.0);
	block.process (processor.processor ());
	mirror ();
	EXPECT_EQ (c.values (), (Values {0.25, 0.7, 0.9, 0.8125, 1.0}));
}
