// The VST 2 effect's effSetChunk on arbitrary bytes, through the built module's VSTPluginMain:
// a refused chunk changes neither the chunk nor any parameter; an accepted one is written back
// as a well-formed chunk with every parameter finite and within 0..1, loads again to the same
// chunk, parameters and texts over values set just before, and the effect still processes
// finite audio.
#include "fuzzcheck.h"
#include "pluginmodule.h"

#include "public.sdk/source/vst/vst2wrapper/vst2wrapper.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace kt3fuzz;

namespace {

constexpr int kFrames = 64;

VstIntPtr host (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
	return opcode == audioMasterVersion ? kVstVersion : 0;
}

struct Snapshot
{
	std::vector<uint8_t> chunk;
	std::vector<float> parameters;
	std::vector<std::string> displays; // the controller's texts
	bool operator== (const Snapshot& other) const
	{
		return chunk == other.chunk && parameters == other.parameters && displays == other.displays;
	}
};

VstIntPtr dispatch (AEffect* effect, int opcode, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.f)
{
	return effect->dispatcher (effect, opcode, 0, value, ptr, opt);
}

// Values away from the defaults, different for each `round`, so that a chunk that keeps or
// resets any of them shows.
void setValues (AEffect* effect, int round)
{
	for (int i = 0; i < effect->numParams; ++i)
		effect->setParameter (effect, i, 0.25f + 0.1f * float (i) + 0.05f * float (round));
}

Snapshot snapshot (AEffect* effect)
{
	Snapshot s;
	void* data = nullptr;
	const VstIntPtr size = dispatch (effect, effGetChunk, 0, &data);
	require (size > 0 && data, "effGetChunk gives a chunk");
	s.chunk.assign (static_cast<const uint8_t*> (data), static_cast<const uint8_t*> (data) + size);
	for (int i = 0; i < effect->numParams; ++i)
	{
		s.parameters.push_back (effect->getParameter (effect, i));
		char display[kVstMaxParamStrLen] {};
		effect->dispatcher (effect, effGetParamDisplay, i, 0, display, 0.f);
		s.displays.push_back (display);
	}
	return s;
}

void requireWellFormed (const Snapshot& s)
{
	require (s.chunk.size () == 56, "a chunk is 16 size bytes and the 40-byte state");
	int64_t sizes[2];
	std::memcpy (sizes, s.chunk.data (), 16); // the fuzzing machine is little-endian
	require (sizes[0] == 40 && sizes[1] == 0, "the chunk's sizes are 40 and 0");
	for (float value : s.parameters)
		require (std::isfinite (value) && value >= 0.f && value <= 1.f, "parameters are finite and in 0..1");
}

void requireFiniteOutput (AEffect* effect)
{
	std::vector<float> in (kFrames), left (kFrames), right (kFrames);
	for (int i = 0; i < kFrames; ++i)
		in[i] = std::sin (0.1f * float (i));
	float* inputs[] = {in.data (), in.data ()};
	float* outputs[] = {left.data (), right.data ()};
	for (int block = 0; block < 2; ++block)
	{
		effect->processReplacing (effect, inputs, outputs, kFrames);
		for (int i = 0; i < kFrames; ++i)
			require (std::isfinite (left[i]) && std::isfinite (right[i]), "output finite for finite input");
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	static kt3host::PluginModule module (KT3_BUNDLE_PATH);
	require (module.loaded (), "the module loads");
	static const auto vstMain = reinterpret_cast<AEffect* (*) (audioMasterCallback)> (module.symbol ("VSTPluginMain"));
	require (vstMain, "the module exports VSTPluginMain");

	AEffect* effect = vstMain (host);
	require (effect, "VSTPluginMain makes an effect");
	dispatch (effect, effSetSampleRate, 0, nullptr, 48000.f);
	dispatch (effect, effSetBlockSize, kFrames);
	dispatch (effect, effMainsChanged, 1);
	setValues (effect, 0);

	const Snapshot before = snapshot (effect);
	std::vector<uint8_t> bytes (data, data + size); // the host's buffer, writable as hosts pass it
	const auto load = [&] {
		return dispatch (effect, effSetChunk, static_cast<VstIntPtr> (bytes.size ()), bytes.data ());
	};
	const VstIntPtr accepted = load ();
	const Snapshot after = snapshot (effect);
	if (accepted)
	{
		requireWellFormed (after);
		// Values set just before a load, still waiting for the processor and the controller,
		// must not come back after it.
		setValues (effect, 1);
		require (load () && snapshot (effect) == after, "a chunk loads to the same state over values set before");
	}
	else
		require (after == before, "a refused chunk changes nothing");
	requireFiniteOutput (effect);
	dispatch (effect, effClose);
	return 0;
}
