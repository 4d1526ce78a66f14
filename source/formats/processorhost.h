// ProcessorHost: the registered processor as the plug-in formats that are not VST 3 host it.
// It owns the processor and the block it is prepared for; it cuts each of the host's runs into
// blocks no longer than that, gives the run's new values (plain, through the parameter table's
// mapping) and the bypass (as the bypass parameter, with its one-block crossfade) to the
// processor at offset 0 of the run's first block, and carries activation and the 40-byte state
// as bytes. It knows no format's types; a format's adapter maps its ports or calls onto it.
//
// Threads: create, setActive, setState, setValues, resetToDefaults and the destructor come on
// the host's main thread; setValue, setBypass and run on the audio thread. create, setActive
// and the destructor never come during a run; getState, setState, setValues and
// resetToDefaults may overlap one (the processor hands a restored state to the audio thread
// without locks). Nothing on the audio thread allocates, locks or waits.
#pragma once

#include "blockstartchanges.h"
#include "kt3ids.h"
#include "kt3processorwithuicontroller.h"

#include <array>
#include <cstdint>
#include <memory>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ProcessorHost
{
public:
	static constexpr uint32_t kStateBytes = 4 + 8 * kReverbParamCount + 4;
	using StateBytes = std::array<uint8, kStateBytes>;
	// The values a state holds, plain as the table gives them, and its bypass.
	struct Values
	{
		std::array<double, kReverbParamCount> plain {};
		bool bypassed = false;
	};

	// Null when the processor cannot be set up for that sample rate and longest block (at most
	// the processor's longest crossfade).
	static std::unique_ptr<ProcessorHost> create (double sampleRate, uint32_t maxBlock);
	~ProcessorHost ();
	ProcessorHost (const ProcessorHost&) = delete;
	ProcessorHost& operator= (const ProcessorHost&) = delete;

	uint32_t maxBlock () const { return blockLimit; }
	// The tail the processor reports to a VST 3 host, in samples.
	uint32_t tailSamples () const { return processor->getTailSamples (); }

	// Activation clears the rings, as the processor's does; activating an active host starts
	// it again.
	void setActive (bool state);

	// For the next run: the parameter at `index` in the table, as a plain value; the bypass.
	void setValue (uint32_t index, double plain);
	void setBypass (bool bypassed);
	// Processes `frames` of two channels, in blocks of at most maxBlock (). A null buffer is a
	// channel the host did not connect. Inputs may share memory with outputs in any way.
	void run (const float* const inputs[2], float* const outputs[2], uint32_t frames);

	bool getState (StateBytes& bytes);
	// A state the processor refuses (a value that is not a number) changes nothing: false.
	// On success `restored`, when given, holds its values.
	bool setState (const uint8* bytes, size_t size, Values* restored = nullptr);
	// These values (each limited by the processor) as the processor's state, which the next run
	// applies.
	bool setValues (const Values& values);
	// The defaults, not bypassed.
	bool resetToDefaults ();
	static Values defaults ();

private:
	ProcessorHost () = default;
	bool setUp (double sampleRate, uint32_t maxBlock);
	void processBlock (const float* const inputs[2], float* const outputs[2], uint32_t offset, uint32_t frames);
	// Copies the inputs into `inputCopy` when an input shares memory with an output of the
	// other channel (or both inputs share one output): the bypass and its crossfade write one
	// channel before reading the other, so they need the inputs apart from the outputs.
	void separateAliasedInputs (uint32_t frames);

	IPtr<KT3ProcessorWithUIController> processor;
	uint32_t blockLimit = 0;
	bool active = false;
	BlockStartChanges changes;
	AudioBusBuffers inBus {};
	AudioBusBuffers outBus {};
	float* inPointers[2] = {};
	float* outPointers[2] = {};
	std::unique_ptr<float[]> inputCopy; // two channels of blockLimit frames, reserved at creation
	ProcessData data {};
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
