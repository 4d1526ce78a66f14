// The 40-byte state stream: layout, restore, and streams a host should never send.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"
#include "statebytes.h"

#include "public.sdk/source/common/memorystream.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace kt3host;

namespace {

Bytes stream (uint32 count, std::initializer_list<double> values, int32 bypass)
{
	Bytes out;
	auto put = [&] (const void* p, size_t n) {
		const auto* b = static_cast<const uint8*> (p);
		out.insert (out.end (), b, b + n); // the test machine is little-endian
	};
	put (&count, 4);
	for (double v : values)
		put (&v, 8);
	put (&bypass, 4);
	return out;
}

const Bytes kDefaults = stream (4, {0.7, 0.7, 0.9, 0.5}, 0);

} // namespace

TEST (ProcessorState, DefaultsAfterInitializeAreFortyLittleEndianBytes)
{
	DirectProcessor p;
	EXPECT_EQ (getState (p.component ()), kDefaults);
	EXPECT_EQ (p.component ()->getState (nullptr), kInvalidArgument);
}

TEST (ProcessorState, RestoresValuesAndBypassAndWritesThemBack)
{
	DirectProcessor p;
	const Bytes saved = stream (4, {0.1, 0.2, 0.3, 0.4}, 1);
	ASSERT_EQ (setState (p.component (), saved), kResultOk);
	EXPECT_EQ (getState (p.component ()), saved);
	// Any non-zero bypass word means bypassed and is written back as 1.
	ASSERT_EQ (setState (p.component (), stream (4, {0.1, 0.2, 0.3, 0.4}, -7)), kResultOk);
	EXPECT_EQ (getState (p.component ()), saved);
}

TEST (ProcessorState, CountWordIsNotTrusted)
{
	DirectProcessor p;
	ASSERT_EQ (setState (p.component (), stream (3, {0.1, 0.2, 0.3, 0.4}, 0)), kResultOk);
	EXPECT_EQ (getState (p.component ()), stream (4, {0.1, 0.2, 0.3, 0.4}, 0));
}

TEST (ProcessorState, ShortStreamsAreRefusedAndChangeNothing)
{
	DirectProcessor p;
	const Bytes full = stream (4, {0.1, 0.2, 0.3, 0.4}, 1);
	for (size_t length : {size_t (0), size_t (3), size_t (4), size_t (10), size_t (35), size_t (39)})
	{
		const Bytes shortStream (full.begin (), full.begin () + length);
		EXPECT_EQ (setState (p.component (), shortStream), kResultFalse) << length;
		EXPECT_EQ (getState (p.component ()), kDefaults) << length;
	}
	EXPECT_EQ (p.component ()->setState (nullptr), kInvalidArgument);
}

TEST (ProcessorState, NonFiniteValuesAreRefusedAndOutOfRangeValuesClamped)
{
	DirectProcessor p;
	for (double bad : {std::nan (""), std::numeric_limits<double>::infinity (),
	                   -std::numeric_limits<double>::infinity ()})
	{
		EXPECT_EQ (setState (p.component (), stream (4, {0.1, 0.2, bad, 0.4}, 1)), kResultFalse);
		EXPECT_EQ (getState (p.component ()), kDefaults);
	}
	ASSERT_EQ (setState (p.component (), stream (4, {-3.0, 1.5, 0.5, 1e300}, 0)), kResultOk);
	EXPECT_EQ (getState (p.component ()), stream (4, {0.0, 1.0, 0.5, 1.0}, 0));
}

TEST (ProcessorState, HostParameterChangesAreSanitised)
{
	DirectProcessor p;
	ProcessBlock block (64);
	block.begin (64);
	block.changes ().add (Steinberg::Vst::Orvix::kSizeId, std::nan (""));
	block.changes ().add (Steinberg::Vst::Orvix::kHFDampId, 2.0);
	block.changes ().add (Steinberg::Vst::Orvix::kMixId, -1.0);
	block.changes ().add (Steinberg::Vst::Orvix::kBypassId, std::nan (""));
	block.process (p.processor ());
	EXPECT_EQ (getState (p.component ()), stream (4, {0.7, 1.0, 0.0, 0.5}, 0));
	for (int i = 0; i < 64; ++i)
		ASSERT_TRUE (std::isfinite (block.out (0)[i]));
}

namespace {

// A stream with room for `room` more bytes, as a full disk or a failing host stream is: a
// write beyond it moves only what fits, or (refusing) nothing and reports the failure.
class CappedStream : public Steinberg::MemoryStream
{
public:
	CappedStream (int32 room, bool refusing) : room (room), refusing (refusing) {}
	tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) SMTG_OVERRIDE
	{
		const int32 fits = std::min (numBytes, room);
		if (refusing && fits < numBytes)
			return kResultFalse;
		room -= fits;
		return MemoryStream::write (buffer, fits, numBytesWritten);
	}

private:
	int32 room;
	bool refusing;
};

} // namespace

TEST (ProcessorState, AStreamThatTakesLessThanTheWholeStateIsReportedAsAFailure)
{
	DirectProcessor p;
	for (bool refusing : {false, true})
		for (int32 room : {0, 3, 4, 20, 39, 40})
		{
			auto stream = owned (new CappedStream (room, refusing));
			EXPECT_EQ (p.component ()->getState (stream), room == 40 ? kResultOk : kResultFalse)
			    << room << (refusing ? " refusing" : " partial");
		}
}

TEST (ProcessorState, RestoredStateIsReportedAtOnceAndHeardFromTheNextBlock)
{
	DirectProcessor p;
	ProcessBlock block (256);
	// Two restores before any block: the newer wins, and getState reports it at once.
	ASSERT_EQ (setState (p.component (), stream (4, {0.9, 0.1, 0.2, 0.3}, 1)), kResultOk);
	const Bytes restored = stream (4, {0.3, 0.2, 1.0, 0.6}, 0);
	ASSERT_EQ (setState (p.component (), restored), kResultOk);
	EXPECT_EQ (getState (p.component ()), restored);

	ReverbModel m;
	m.size = 0.3, m.damp = 0.2, m.mix = 1.0, m.output = 0.6;
	m.update ();
	for (int b = 0; b < 3; ++b)
	{
		block.begin (256);
		auto l = noise (256, 70 + b), r = noise (256, 90 + b);
		std::memcpy (block.in (0), l.data (), 256 * sizeof (float));
		std::memcpy (block.in (1), r.data (), 256 * sizeof (float));
		block.process (p.processor ());
		m.block (l.data (), r.data (), 256);
		ASSERT_EQ (std::vector<float> (block.out (0), block.out (0) + 256), l) << b;
		EXPECT_EQ (getState (p.component ()), restored) << b;
	}
	// The block's own changes apply on top of a state restored before it.
	ASSERT_EQ (setState (p.component (), stream (4, {0.1, 0.1, 0.1, 0.1}, 0)), kResultOk);
	block.begin (16);
	block.changes ().add (Steinberg::Vst::Orvix::kMixId, 0.75);
	block.process (p.processor ());
	EXPECT_EQ (getState (p.component ()), stream (4, {0.1, 0.1, 0.75, 0.1}, 0));
}
