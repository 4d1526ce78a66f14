// The reference scenario: one fixed stereo input (noise bursts, two sines, silence while the
// tail rings) and one fixed sequence of blocks at 48 kHz: sizes from 1 frame to the maximum,
// changes of Size, HF Damp, Mix and Output at block starts and inside blocks, bypass switched
// on and off, and a state load midway. Every build of the effect, on every platform and
// through every entry, must render it to the bits the hashes below record.
#pragma once

#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <vector>

namespace kt3test {

constexpr double kReferenceRate = 48000.0;
constexpr Steinberg::int32 kReferenceMaxBlock = 512;
constexpr Steinberg::int32 kReferenceFrames = 16000;

// How the scenario hands over its parameter changes.
enum class Timing
{
	// At the offsets and double values it names.
	InsideBlocks,
	// Every change at its block's start and every value rounded to a float, as a VST 2 host
	// sends them through setParameter.
	BlockStarts,
};

// 64-bit FNV-1a of the output of each timing (see hashOf); the Linux and the Windows module
// are both checked against these.
constexpr uint64_t kReferenceHash = 0xf21ab84a7f239e9f;
constexpr uint64_t kBlockStartsReferenceHash = 0xce63bef5b3f58f6b;

struct Change
{
	Steinberg::Vst::ParamID id;
	double value;
	Steinberg::int32 offset;
};

// The effect under the scenario: it runs blocks and loads states between them.
class Target
{
public:
	virtual ~Target () = default;
	// One block of `frames` frames, with the changes that fall into it.
	virtual void process (float* in[2], float* out[2], Steinberg::int32 frames,
	                      const std::vector<Change>& changes) = 0;
	virtual bool setState (const kt3host::Bytes& state) = 0;
};

// A VST 3 processor that is set up for kReferenceRate and kReferenceMaxBlock and active.
class Vst3Target final : public Target
{
public:
	Vst3Target (Steinberg::Vst::IComponent* component, Steinberg::Vst::IAudioProcessor* processor);
	void process (float* in[2], float* out[2], Steinberg::int32 frames,
	              const std::vector<Change>& changes) override;
	bool setState (const kt3host::Bytes& state) override;

private:
	Steinberg::Vst::IComponent* component;
	Steinberg::Vst::IAudioProcessor* processor;
	kt3host::ProcessBlock block {kReferenceMaxBlock};
};

// Runs the scenario through `target`: the output, left and right interleaved frame by frame;
// empty if the target refuses the state.
std::vector<float> renderReference (Target& target, Timing timing);
// The scenario through a new effect of `module`; empty if the effect cannot be activated.
std::vector<float> renderReference (const kt3host::PluginModule& module, Timing timing);

// FNV-1a over the samples' float bits, each sample's four bytes from the lowest.
uint64_t hashOf (const std::vector<float>& samples);

// Whether `output` has the scenario's length and the hash `expected`; says which hash it has.
::testing::AssertionResult matchesReference (const std::vector<float>& output, uint64_t expected);

} // namespace kt3test
