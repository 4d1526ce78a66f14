// A host that restores and saves states on its main thread while its audio thread processes,
// as when a preset is loaded during playback. Run under ThreadSanitizer too.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using namespace kt3host;

namespace {

Bytes stateWith (double size, double mix, int32 bypass)
{
	Bytes out (40);
	const uint32 count = 4;
	const double values[4] = {size, 0.5, mix, 0.5};
	std::memcpy (&out[0], &count, 4);
	std::memcpy (&out[4], values, 32);
	std::memcpy (&out[36], &bypass, 4);
	return out;
}

bool wellFormed (const Bytes& s)
{
	if (s.size () != 40 || s[0] != 4 || (s[36] != 0 && s[36] != 1))
		return false;
	for (int i = 0; i < 4; ++i)
	{
		double v;
		std::memcpy (&v, &s[size_t (4 + 8 * i)], 8);
		if (!(v >= 0.0 && v <= 1.0))
			return false;
	}
	return true;
}

} // namespace

TEST (ProcessorThreads, StatesRestoredDuringPlaybackAreTakenWholeByTheAudioThread)
{
	DirectProcessor p;
	std::atomic<bool> stop {false};
	std::atomic<bool> outputFinite {true};
	std::thread audio ([&] {
		ProcessBlock block (256);
		const auto signal = noise (256, 5);
		for (int b = 0; !stop.load (); ++b)
		{
			block.begin (256);
			if (b % 3 == 0)
				block.changes ().add (kMixId, (b % 7) / 6.0);
			if (b % 5 == 0)
				block.changes ().add (kBypassId, (b / 5) % 2 ? 1.0 : 0.0);
			std::memcpy (block.in (0), signal.data (), sizeof (float) * 256);
			std::memcpy (block.in (1), signal.data (), sizeof (float) * 256);
			block.process (p.processor ());
			for (int i = 0; i < 256; ++i)
				if (!std::isfinite (block.out (0)[i]))
					outputFinite = false;
		}
	});
	const Bytes states[3] = {stateWith (0.2, 0.9, 0), stateWith (0.9, 0.3, 1), stateWith (0.5, 1.0, 0)};
	for (int i = 0; i < 3000; ++i)
	{
		ASSERT_EQ (setState (p.component (), states[i % 3]), kResultOk);
		const Bytes saved = getState (p.component ());
		ASSERT_TRUE (wellFormed (saved)) << i;
	}
	stop = true;
	audio.join ();
	EXPECT_TRUE (outputFinite);

	// Once blocks have stopped, the last restore is what the next block takes.
	const Bytes last = stateWith (0.4, 0.6, 1);
	ASSERT_EQ (setState (p.component (), last), kResultOk);
	ProcessBlock block (64);
	block.begin (64);
	block.process (p.processor ());
	EXPECT_EQ (getState (p.component ()), last);
}
