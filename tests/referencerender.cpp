#include "referencerender.h"
#include "kt3ids.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace kt3test {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

// Block sizes, repeated: the maximum, single frames and odd lengths in between.
constexpr int32 kBlockSizes[] = {512, 1, 97, 256, 512, 33, 1, 400, 512, 128, 7, 350};

struct Event
{
	int block;
	Change change;
};

// Output takes 0 and 1 and values of four decimals, whose gains are no exact powers of ten.
const Event kEvents[] = {
    {0, {kSizeId, 0.9, 0}},
    {2, {kHFDampId, 0.3, 10}},
    {2, {kOutputId, 0.1234, 40}},
    {3, {kMixId, 0.5, 0}},
    {3, {kMixId, 0.75, 100}}, // two points in one queue
    {4, {kOutputId, 0.0, 0}},
    {5, {kOutputId, 1.0, 20}},
    {7, {kSizeId, 0.2, 100}},
    {7, {kOutputId, 0.9999, 399}},
    {8, {kBypassId, 1.0, 0}}, // crossfaded over a full block
    {10, {kOutputId, 0.25, 5}}, // while bypassed
    {11, {kBypassId, 0.0, 3}},
    {14, {kMixId, 0.45, 50}}, // after the state loaded before this block
    {15, {kOutputId, 0.5001, 0}},
    {15, {kHFDampId, 0.95, 20}},
    {18, {kSizeId, 0.0, 0}},
    {18, {kOutputId, 0.7777, 0}},
    {18, {kBypassId, 1.0, 0}}, // crossfaded over a single frame
    {19, {kBypassId, 0.0, 200}},
    {22, {kSizeId, 1.0, 0}},
    {22, {kMixId, 1.0, 3}},
    {23, {kBypassId, 1.0, 100}},
    {24, {kOutputId, 0.9999, 0}},
    {25, {kBypassId, 0.0, 0}}, // crossfaded back over a single frame
    {26, {kMixId, 0.0, 10}},
    {26, {kOutputId, 0.1234, 20}},
    {27, {kMixId, 0.9, 0}},
    {27, {kHFDampId, 0.0, 0}},
    {27, {kSizeId, 0.6, 0}},
    {36, {kSizeId, 0.05, 0}}, // a new size clears the rings: before the input ends
    {40, {kOutputId, 1.0, 0}},
    {40, {kSizeId, 0.7, 0}},
    {50, {kOutputId, 0.5, 0}}, // while the tail rings
    {60, {kHFDampId, 1.0, 0}},
};

// Loaded before this block: Size 0.35, HF Damp 0.2, Mix 0.6, Output 0.9999, not bypassed.
constexpr int kStateBlock = 14;

kt3host::Bytes loadedState ()
{
	kt3host::Bytes bytes;
	const auto put = [&bytes] (uint64_t word, int size) {
		for (int i = 0; i < size; ++i)
			bytes.push_back (static_cast<uint8> (word >> (8 * i)));
	};
	put (kReverbParamCount, 4);
	for (double value : {0.35, 0.2, 0.6, 0.9999})
	{
		uint64_t bits;
		std::memcpy (&bits, &value, sizeof bits);
		put (bits, 8);
	}
	put (0, 4);
	return bytes;
}

// Noise, two sines, silence, a quieter burst, then silence while the tail rings.
void makeInput (std::vector<float>& left, std::vector<float>& right)
{
	left.assign (kReferenceFrames, 0.0f);
	right.assign (kReferenceFrames, 0.0f);
	uint32_t state = 12345;
	const auto noise = [&state] {
		state = state * 1664525u + 1013904223u;
		return static_cast<float> (state >> 8) / 16777216.0f - 0.5f;
	};
	for (int32 i = 0; i < 3000; ++i)
	{
		left[i] = noise ();
		right[i] = noise ();
	}
	// 440 Hz and 660 Hz from the recurrence y[n] = 2 cos(w) y[n-1] - y[n-2], in plain double
	// arithmetic: the same bits everywhere, which a maths library's sin does not promise.
	double l0 = 0.0, l1 = 0.4 * 0.057564026959567284;
	double r0 = 0.0, r1 = 0.3 * 0.08628636579792337;
	for (int32 i = 3000; i < 7000; ++i)
	{
		left[i] = static_cast<float> (l0);
		right[i] = static_cast<float> (r0);
		const double l2 = 1.9966836332280566 * l1 - l0;
		const double r2 = 1.9925407529858825 * r1 - r0;
		l0 = l1, l1 = l2, r0 = r1, r1 = r2;
	}
	for (int32 i = 8000; i < 10000; ++i)
	{
		left[i] = 0.1f * noise ();
		right[i] = 0.1f * noise ();
	}
}

} // namespace

Vst3Target::Vst3Target (IComponent* component, IAudioProcessor* processor)
: component (component), processor (processor)
{
}

void Vst3Target::process (float* in[2], float* out[2], int32 frames, const std::vector<Change>& changes)
{
	block.begin (frames);
	for (const Change& change : changes)
		block.changes ().add (change.id, change.value, change.offset);
	for (int c = 0; c < 2; ++c)
		std::memcpy (block.in (c), in[c], sizeof (float) * frames);
	block.process (processor);
	for (int c = 0; c < 2; ++c)
		std::memcpy (out[c], block.out (c), sizeof (float) * frames);
}

bool Vst3Target::setState (const kt3host::Bytes& state)
{
	return kt3host::setState (component, state) == kResultOk;
}

std::vector<float> renderReference (Target& target, Timing timing)
{
	std::vector<float> input[2], output[2];
	makeInput (input[0], input[1]);
	output[0].assign (kReferenceFrames, 0.0f);
	output[1].assign (kReferenceFrames, 0.0f);
	std::vector<Change> changes;
	int32 start = 0;
	for (int b = 0; start < kReferenceFrames; ++b)
	{
		const int32 frames = std::min (kBlockSizes[b % std::size (kBlockSizes)], kReferenceFrames - start);
		changes.clear ();
		for (const Event& event : kEvents)
			if (event.block == b)
				changes.push_back (timing == Timing::InsideBlocks
				                       ? event.change
				                       : Change {event.change.id, static_cast<float> (event.change.value), 0});
		if (b == kStateBlock && !target.setState (loadedState ()))
			return {};
		float* in[] = {input[0].data () + start, input[1].data () + start};
		float* out[] = {output[0].data () + start, output[1].data () + start};
		target.process (in, out, frames, changes);
		start += frames;
	}
	std::vector<float> interleaved;
	interleaved.reserve (2 * size_t (kReferenceFrames));
	for (int32 i = 0; i < kReferenceFrames; ++i)
	{
		interleaved.push_back (output[0][i]);
		interleaved.push_back (output[1][i]);
	}
	return interleaved;
}

std::vector<float> renderReference (const kt3host::PluginModule& module, Timing timing)
{
	kt3host::PluginInstance plugin (module);
	if (!plugin.ready () || !plugin.activate (kReferenceRate, kReferenceMaxBlock))
		return {};
	Vst3Target target (plugin.component (), plugin.audioProcessor ());
	return renderReference (target, timing);
}

uint64_t hashOf (const std::vector<float>& samples)
{
	uint64_t hash = 0xcbf29ce484222325u;
	for (float sample : samples)
	{
		uint32_t bits;
		std::memcpy (&bits, &sample, sizeof bits);
		for (int i = 0; i < 4; ++i)
		{
			hash ^= (bits >> (8 * i)) & 0xffu;
			hash *= 0x100000001b3u;
		}
	}
	return hash;
}

::testing::AssertionResult matchesReference (const std::vector<float>& output, uint64_t expected)
{
	if (output.size () != 2 * size_t (kReferenceFrames))
		return ::testing::AssertionFailure ()
		       << output.size () / 2 << " frames rendered, " << kReferenceFrames << " expected";
	const uint64_t hash = hashOf (output);
	if (hash == expected)
		return ::testing::AssertionSuccess ();
	const auto hex = [] (uint64_t value) {
		char text[24];
		std::snprintf (text, sizeof text, "0x%016llx", static_cast<unsigned long long> (value));
		return std::string (text);
	};
	return ::testing::AssertionFailure () << "output hash " << hex (hash) << ", reference " << hex (expected);
}

} // namespace kt3test
