// process() must never touch the heap: every allocation entry point is counted while
// blocks run, through parameter changes, preset changes, crossfades, bypass, silence and state
// restores.
#include "allocationcounter.h"
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <cstring>

using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

TEST (Realtime, ProcessNeverAllocatesOrFrees)
{
	kt3host::DirectProcessor p ({48000.0, 1024, true});
	kt3host::ProcessBlock block (1024);
	const auto signal = noise (1024, 17);

	ASSERT_TRUE (kt3test::counterSeesThisThread ());

	// State restores come from the main thread between blocks; the block that takes one over
	// is counted like any other.
	const kt3host::Bytes states[2] = {kt3host::getState (p.component ()),
	                                  [&] {
		                                  auto s = kt3host::getState (p.component ());
		                                  s[36] = 1; // bypassed
		                                  s[10] ^= 0x08; // another Size
		                                  return s;
	                                  }()};
	long during = 0;
	int restores = 0;
	for (int b = 0; b < 200; ++b)
	{
		if (b % 13 == 6)
		{
			ASSERT_EQ (kt3host::setState (p.component (), states[restores++ % 2]), Steinberg::kResultOk);
		}
		const Steinberg::int32 n = 1 + (b * 97) % 1024;
		block.begin (n);
		if (b % 7 == 0)
			block.changes ().add (kBypassId, (b / 7) % 2 ? 1.0 : 0.0);
		if (b % 5 == 0)
			block.changes ().add (kSizeId, (b % 11) / 10.0);
		block.changes ().add (kMixId, (b % 3) / 2.0);
		if (b % 9 == 4)
			block.changes ().add (kPresetsId, (b % 8) / 7.0);
		const bool silent = b % 40 > 30;
		for (int ch = 0; ch < 2; ++ch)
		{
			if (silent)
				std::fill (block.in (ch), block.in (ch) + n, 0.0f);
			else
				std::memcpy (block.in (ch), signal.data (), n * sizeof (float));
		}
		kt3test::startCountingAllocations ();
		block.process (p.processor ());
		during += kt3test::stopCountingAllocations ();
	}
	EXPECT_EQ (during, 0);
	EXPECT_GT (restores, 10);
}
