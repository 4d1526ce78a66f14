// The processor's setState on arbitrary bytes, then getState and a few blocks: a refused
// stream changes nothing; an accepted one is written back as 40 bytes of values in 0..1 and
// a bypass word; the output stays finite for finite input.
#include "directprocessor.h"
#include "fuzzcheck.h"
#include "processblock.h"
#include "statebytes.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace kt3fuzz;

namespace {

constexpr int32 kFrames = 256;

// Three blocks of a fixed finite signal; every output sample must be finite.
void processBlocks (kt3host::DirectProcessor& plugin, kt3host::ProcessBlock& block)
{
	for (int b = 0; b < 3; ++b)
	{
		block.begin (kFrames);
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < kFrames; ++i)
				block.in (c)[i] = std::sin (0.05f * float (i + c + b * kFrames));
		require (block.process (plugin.processor ()) == kResultOk, "process answers kResultOk");
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < kFrames; ++i)
				require (std::isfinite (block.out (c)[i]), "output finite for finite input");
	}
}

void requireWellFormed (const kt3host::Bytes& state)
{
	require (state.size () == 40, "getState writes 40 bytes");
	uint32 count = 0;
	std::memcpy (&count, state.data (), 4); // the fuzzing machine is little-endian
	require (count == 4, "getState writes the count 4");
	for (size_t i = 0; i < 4; ++i)
	{
		double value = 0.0;
		std::memcpy (&value, state.data () + 4 + 8 * i, 8);
		require (std::isfinite (value) && value >= 0.0 && value <= 1.0,
		         "getState writes finite values in 0..1");
	}
	int32 bypass = 0;
	std::memcpy (&bypass, state.data () + 36, 4);
	require (bypass == 0 || bypass == 1, "getState writes the bypass word as 0 or 1");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8* data, size_t size)
{
	kt3host::DirectProcessor plugin ({48000.0, kFrames, true});
	kt3host::ProcessBlock block (kFrames);
	processBlocks (plugin, block);

	const kt3host::Bytes before = kt3host::getState (plugin.component ());
	const tresult result = kt3host::setState (plugin.component (), kt3host::Bytes (data, data + size));
	const kt3host::Bytes after = kt3host::getState (plugin.component ());
	if (result == kResultOk)
		requireWellFormed (after);
	else
		require (after == before, "a refused stream leaves getState byte-identical");
	processBlocks (plugin, block);
	require (kt3host::getState (plugin.component ()) == after, "processing leaves the state alone");
	return 0;
}
