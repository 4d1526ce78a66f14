// A host's call sequence on a component/controller pair, chosen by the input: set-up with any
// sample rate and maximum block, activation, processing with block sizes up to beyond the
// announced maximum, parameter queues with any values, odd bus layouts, bypass toggles, state
// restores handed on to the controller, values written to the controller. After each call: no
// sanitizer report, finite output for finite input, a 40-byte state, and every controller
// value finite and in 0..1 (equal to the state's after a state is handed on).
#include "fuzzcheck.h"
#include "kt3controllerwithui.h"
#include "kt3ids.h"
#include "kt3processorwithuicontroller.h"
#include "parameterchanges.h"
#include "statebytes.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <cmath>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using namespace kt3fuzz;

namespace {

constexpr int32 kCapacity = 8192 + 512; // room for blocks beyond the largest announced maximum

enum class Layout { kSeparate, kInPlace, kNoInput, kNoOutput, kNullChannel, kMono, kNoChannelList, kCount };

class HostSession
{
public:
	explicit HostSession (FuzzedDataProvider& input) : input (input)
	{
		for (int c = 0; c < 2; ++c)
		{
			inputs[c].assign (kCapacity, 0.0f);
			outputs[c].assign (kCapacity, 0.0f);
		}
	}
	~HostSession () { terminate (); }

	void initialize ()
	{
		if (initialized || terminated)
			return;
		require (component->initialize (&host) == kResultOk, "initialize");
		require (controller->initialize (&host) == kResultOk, "the controller initializes");
		componentPoint->connect (controllerPoint);
		controllerPoint->connect (componentPoint);
		initialized = true;
	}

	void terminate ()
	{
		if (!initialized)
			return;
		setActive (false);
		componentPoint->disconnect (controllerPoint);
		controllerPoint->disconnect (componentPoint);
		controller->terminate ();
		component->terminate ();
		initialized = false;
		terminated = true;
	}

	void setupProcessing ()
	{
		if (!initialized || active)
			return;
		ProcessSetup setup {input.ConsumeIntegralInRange<int32> (kRealtime, kOffline), kSample32,
		                    input.ConsumeIntegralInRange<int32> (0, 8192),
		                    input.ConsumeFloatingPointInRange<double> (8000.0, 384000.0)};
		processor->setupProcessing (setup);
	}

	void arrangeBuses ()
	{
		if (!initialized || active)
			return;
		const SpeakerArrangement choices[] = {SpeakerArr::kStereo, SpeakerArr::kMono, SpeakerArr::kEmpty};
		SpeakerArrangement in = input.PickValueInArray (choices);
		SpeakerArrangement out = input.PickValueInArray (choices);
		processor->setBusArrangements (&in, input.ConsumeIntegralInRange<int32> (0, 1), &out,
		                               input.ConsumeIntegralInRange<int32> (0, 1));
		component->activateBus (kAudio, kInput, 0, input.ConsumeBool ());
		component->activateBus (kAudio, kOutput, 0, input.ConsumeBool ());
	}

	void setActive (bool state)
	{
		if (!initialized || state == active)
			return;
		if (!state)
			setProcessing (false);
		require (component->setActive (state) == kResultOk, "setActive");
		active = state;
	}

	void setProcessing (bool state)
	{
		if (!active || state == processing)
			return;
		processor->setProcessing (state);
		processing = state;
	}

	void process ()
	{
		if (!active)
			return;
		const int32 frames = input.ConsumeIntegralInRange<int32> (0, kCapacity);
		fillInput (frames);
		changes.clear ();
		const int points = input.ConsumeIntegralInRange<int> (0, 24);
		for (int p = 0; p < points; ++p)
			changes.add (anyParamId (), anyValue (), input.ConsumeIntegralInRange<int32> (-4, frames + 4));

		ProcessData data;
		data.processMode = kRealtime;
		data.symbolicSampleSize = kSample32;
		data.numSamples = frames;
		data.inputParameterChanges = &changes;
		const Layout layout = static_cast<Layout> (
		    input.ConsumeIntegralInRange<int> (0, static_cast<int> (Layout::kCount) - 1));
		lay (layout, data);
		require (processor->process (data) == kResultOk, "process answers kResultOk");
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < frames; ++i)
				require (std::isfinite (outputPointers[c] ? outputPointers[c][i] : 0.0f),
				         "output finite for finite input");
		requireState ();
	}

	void restoreState ()
	{
		if (!initialized)
			return;
		const bool wellFormed = input.ConsumeBool ();
		const kt3host::Bytes bytes =
		    wellFormed ? wellFormedState ()
		               : input.ConsumeBytes<uint8> (input.ConsumeIntegralInRange<size_t> (0, 48));
		const kt3host::Bytes before = kt3host::getState (component);
		const tresult result = kt3host::setState (component, bytes);
		const kt3host::Bytes after = kt3host::getState (component);
		if (wellFormed)
			require (result == kResultOk && after == bytes, "a well-formed state reads back byte for byte");
		else if (result != kResultOk)
			require (after == before, "a refused stream leaves getState byte-identical");
		requireState ();

		// As a host does after loading a project: the controller takes the component's state.
		require (kt3host::setComponentState (controller, after) == kResultOk, "setComponentState");
		for (ParamID id : {kSizeId, kHFDampId, kMixId, kOutputId})
		{
			double value = 0.0;
			std::memcpy (&value, after.data () + 4 + 8 * id, 8); // the fuzzing machine is little-endian
			require (controller->getParamNormalized (id) == value, "the controller mirrors the state");
		}
		require (controller->getParamNormalized (kBypassId) == after[36], "the controller mirrors the bypass");
	}

	// A value written to the controller, as automation or a generic editor writes it.
	void editController ()
	{
		if (!initialized)
			return;
		controller->setParamNormalized (anyParamId (), anyValue ());
		requireControllerValues ();
	}

	void requireControllerValues ()
	{
		for (int32 i = 0; i < controller->getParameterCount (); ++i)
		{
			ParameterInfo info {};
			require (controller->getParameterInfo (i, info) == kResultOk, "getParameterInfo");
			const ParamValue value = controller->getParamNormalized (info.id);
			require (std::isfinite (value) && value >= 0.0 && value <= 1.0, "controller values finite and in 0..1");
		}
	}

	void requireState ()
	{
		if (initialized)
			require (kt3host::getState (component).size () == 40, "getState writes 40 bytes");
	}

private:
	// Four values in 0..1 and a bypass word of 0 or 1, little-endian.
	kt3host::Bytes wellFormedState ()
	{
		kt3host::Bytes bytes {4, 0, 0, 0};
		for (int v = 0; v < 4; ++v)
		{
			const double value = input.ConsumeProbability<double> ();
			const auto* b = reinterpret_cast<const uint8*> (&value);
			bytes.insert (bytes.end (), b, b + 8);
		}
		bytes.insert (bytes.end (), {uint8 (input.ConsumeBool ()), 0, 0, 0});
		return bytes;
	}

	ParamID anyParamId ()
	{
		const ParamID known[] = {kSizeId, kHFDampId, kMixId, kOutputId, kBypassId, kPresetsId};
		return input.ConsumeBool () ? input.PickValueInArray (known) : input.ConsumeIntegral<ParamID> ();
	}

	ParamValue anyValue ()
	{
		constexpr double kInf = std::numeric_limits<double>::infinity ();
		const double special[] = {0.0, 1.0, 0.5, -1.0, 2.0, kInf, -kInf,
		                          std::numeric_limits<double>::quiet_NaN (), 1e300, -0.0};
		switch (input.ConsumeIntegralInRange<int> (0, 2))
		{
			case 0: return input.ConsumeProbability<double> ();
			case 1: return input.PickValueInArray (special);
			default: return input.ConsumeFloatingPoint<double> ();
		}
	}

	// Noise at one of a few levels, from silence and denormals to 60 dB above full scale.
	void fillInput (int32 frames)
	{
		const float levels[] = {0.0f, 1e-40f, 1.0f, 1000.0f};
		const float level = input.PickValueInArray (levels);
		uint32 seed = input.ConsumeIntegral<uint32> ();
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < frames; ++i)
			{
				seed = seed * 1664525u + 1013904223u;
				inputs[c][i] = level * (static_cast<float> (seed >> 8) / 8388608.0f - 1.0f);
			}
	}

	void lay (Layout layout, ProcessData& data)
	{
		for (int c = 0; c < 2; ++c)
		{
			inputPointers[c] = inputs[c].data ();
			outputPointers[c] = layout == Layout::kInPlace ? inputs[c].data () : outputs[c].data ();
		}
		inputBus.numChannels = outputBus.numChannels = 2;
		inputBus.silenceFlags = outputBus.silenceFlags = 0;
		inputBus.channelBuffers32 = inputPointers;
		outputBus.channelBuffers32 = outputPointers;
		data.numInputs = data.numOutputs = 1;
		data.inputs = &inputBus;
		data.outputs = &outputBus;
		switch (layout)
		{
			case Layout::kNoInput: data.numInputs = 0; data.inputs = nullptr; break;
			case Layout::kNoOutput:
				data.numOutputs = 0;
				data.outputs = nullptr;
				outputPointers[0] = outputPointers[1] = nullptr;
				break;
			case Layout::kNullChannel:
				(input.ConsumeBool () ? inputPointers : outputPointers)[input.ConsumeIntegralInRange<int> (0, 1)] =
				    nullptr;
				break;
			case Layout::kMono:
				inputBus.numChannels = outputBus.numChannels = 1;
				outputPointers[1] = nullptr;
				break;
			case Layout::kNoChannelList:
				inputBus.channelBuffers32 = nullptr;
				break;
			default: break;
		}
	}

	FuzzedDataProvider& input;
	HostApplication host; // not reference-counted: lives with the session
	IPtr<KT3ProcessorWithUIController> object = owned (new KT3ProcessorWithUIController);
	IComponent* component = object;
	IAudioProcessor* processor = object;
	IPtr<KT3ControllerWithUI> controllerObject = owned (new KT3ControllerWithUI);
	IEditController* controller = controllerObject;
	FUnknownPtr<IConnectionPoint> componentPoint {object->unknownCast ()};
	FUnknownPtr<IConnectionPoint> controllerPoint {controllerObject->unknownCast ()};
	bool initialized = false;
	bool terminated = false;
	bool active = false;
	bool processing = false;

	std::vector<float> inputs[2];
	std::vector<float> outputs[2];
	float* inputPointers[2] {};
	float* outputPointers[2] {};
	AudioBusBuffers inputBus;
	AudioBusBuffers outputBus;
	kt3host::ParamChanges changes;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8* data, size_t size)
{
	FuzzedDataProvider input (data, size);
	HostSession session (input);
	// Hosts initialise first; what follows is any sequence of the calls a host makes.
	session.initialize ();
	for (int call = 0; call < 64 && input.remaining_bytes () > 0; ++call)
	{
		switch (input.ConsumeIntegralInRange<int> (0, 9))
		{
			case 0: session.setupProcessing (); break;
			case 1: session.arrangeBuses (); break;
			case 2: session.setActive (input.ConsumeBool ()); break;
			case 3: session.setProcessing (input.ConsumeBool ()); break;
			case 4:
			case 5: session.process (); break;
			case 6: session.restoreState (); break;
			case 7: session.requireState (); break;
			case 8: session.editController (); break;
			default: session.terminate (); break;
		}
	}
	return 0;
}
