#include "lv2plugin.h"
#include "reverbparameters.h"
#include "statestream.h"

#include "public.sdk/source/common/memorystream.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

constexpr uint32_t kStateBytes = 4 + 8 * kReverbParamCount + 4;

float enabledValue (bool bypassed)
{
	return bypassed ? 0.0f : 1.0f;
}

} // namespace

Lv2Plugin* Lv2Plugin::create (double sampleRate, const LV2_Feature* const* features)
{
	if (!(sampleRate >= kLv2MinSampleRate && sampleRate <= kLv2MaxSampleRate))
		return nullptr;
	auto* plugin = new (std::nothrow) Lv2Plugin;
	if (plugin && !plugin->setUp (sampleRate, features))
	{
		delete plugin;
		return nullptr;
	}
	return plugin;
}

bool Lv2Plugin::setUp (double sampleRate, const LV2_Feature* const* features)
{
	readFeatures (features);
	for (uint32_t i = 0; i <= kReverbParamCount; ++i)
		lastSeen[i] = restoredPorts[i] = std::numeric_limits<float>::quiet_NaN ();
	inputCopy.reset (new (std::nothrow) float[2 * size_t (blockLimit)]);
	if (!inputCopy || !changes.reserve (kReverbParamCount + 1))
		return false;
	processor = owned (new (std::nothrow) KT3ProcessorWithUIController);
	if (!processor || processor->initialize (nullptr) != kResultOk)
		return false;
	processor->activateBus (kAudio, kInput, 0, true);
	processor->activateBus (kAudio, kOutput, 0, true);
	ProcessSetup setup {kRealtime, kSample32, static_cast<int32> (blockLimit), sampleRate};
	if (processor->setupProcessing (setup) != kResultOk)
		return false;

	inBus.numChannels = 2;
	inBus.channelBuffers32 = inPointers;
	outBus.numChannels = 2;
	outBus.channelBuffers32 = outPointers;
	data.processMode = kRealtime;
	data.symbolicSampleSize = kSample32;
	data.numInputs = 1;
	data.numOutputs = 1;
	data.inputs = &inBus;
	data.outputs = &outBus;
	data.inputParameterChanges = &changes;
	return true;
}

void Lv2Plugin::readFeatures (const LV2_Feature* const* features)
{
	const LV2_Options_Option* options = nullptr;
	for (; features && *features; ++features)
	{
		if (!(*features)->URI)
			continue;
		if (std::strcmp ((*features)->URI, LV2_URID__map) == 0)
			map = static_cast<const LV2_URID_Map*> ((*features)->data);
		else if (std::strcmp ((*features)->URI, LV2_OPTIONS__options) == 0)
			options = static_cast<const LV2_Options_Option*> ((*features)->data);
	}
	if (!map || !map->map)
	{
		map = nullptr;
		return;
	}
	stateKey = map->map (map->handle, kLv2StateKeyUri);
	chunkType = map->map (map->handle, LV2_ATOM__Chunk);
	const LV2_URID maxLength = map->map (map->handle, LV2_BUF_SIZE__maxBlockLength);
	const LV2_URID intType = map->map (map->handle, LV2_ATOM__Int);
	for (; options && options->key; ++options)
	{
		if (options->key != maxLength || options->type != intType || options->size != sizeof (int32_t) ||
		    !options->value)
			continue;
		int32_t value;
		std::memcpy (&value, options->value, sizeof value);
		if (value > 0)
			blockLimit = static_cast<uint32_t> (std::min<int32_t> (value, BaseProcessor::kMaxCrossfade));
	}
}

Lv2Plugin::~Lv2Plugin ()
{
	if (!processor)
		return;
	deactivate ();
	processor->terminate ();
}

void Lv2Plugin::connectPort (uint32_t port, void* buffer)
{
	if (port < kLv2FirstParameter)
		audio[port] = static_cast<float*> (buffer);
	else if (port < kLv2PortCount)
		controls[port - kLv2FirstParameter] = static_cast<const float*> (buffer);
}

void Lv2Plugin::activate ()
{
	if (active)
		processor->setActive (false);
	processor->setActive (true);
	processor->setProcessing (true);
	active = true;
}

void Lv2Plugin::deactivate ()
{
	if (!active)
		return;
	processor->setProcessing (false);
	processor->setActive (false);
	active = false;
}

void Lv2Plugin::collectChanges ()
{
	changes.clear ();
	for (uint32_t i = 0; i <= kReverbParamCount; ++i)
	{
		if (!controls[i])
			continue;
		const float value = *controls[i];
		const bool stale = value == lastSeen[i] || (restorePending && value == restoredPorts[i]);
		lastSeen[i] = value;
		if (stale)
			continue;
		if (i < kReverbParamCount)
			changes.add (kReverbParameters[i].id, kReverbParameters[i].normalized (value));
		else if (!std::isnan (value))
			changes.add (kBypassId, value > 0.0f ? 0.0 : 1.0); // lv2:toggled: above zero is on
	}
	restorePending = false;
}

void Lv2Plugin::run (uint32_t frames)
{
	collectChanges ();
	uint32_t done = 0;
	do
	{
		const uint32_t n = std::min (frames - done, blockLimit);
		processBlock (done, n);
		changes.clear (); // the changes belong to the run's first block
		done += n;
	} while (done < frames);
}

void Lv2Plugin::processBlock (uint32_t offset, uint32_t frames)
{
	for (int c = 0; c < 2; ++c)
	{
		inPointers[c] = audio[kLv2InLeft + c] ? audio[kLv2InLeft + c] + offset : nullptr;
		outPointers[c] = audio[kLv2OutLeft + c] ? audio[kLv2OutLeft + c] + offset : nullptr;
	}
	separateAliasedInputs (frames);
	inBus.silenceFlags = 0;
	outBus.silenceFlags = 0;
	data.numSamples = static_cast<int32> (frames);
	processor->process (data);
}

void Lv2Plugin::separateAliasedInputs (uint32_t frames)
{
	const auto overlaps = [frames] (const float* a, const float* b) {
		return a && b && a < b + frames && b < a + frames;
	};
	bool aliased = false;
	for (int in = 0; in < 2; ++in)
		for (int out = 0; out < 2; ++out)
		{
			// The same buffer as input and output of one channel is plain in-place processing.
			const bool inPlace = in == out && inPointers[in] == outPointers[out];
			aliased = aliased || (!inPlace && overlaps (inPointers[in], outPointers[out]));
		}
	if (!aliased)
		return;
	for (int c = 0; c < 2; ++c)
	{
		if (!inPointers[c])
			continue;
		float* copy = inputCopy.get () + c * size_t (blockLimit);
		std::memcpy (copy, inPointers[c], sizeof (float) * frames);
		inPointers[c] = copy;
	}
}

LV2_State_Status Lv2Plugin::save (LV2_State_Store_Function store, LV2_State_Handle handle)
{
	if (!map)
		return LV2_STATE_ERR_NO_FEATURE;
	MemoryStream stream;
	if (processor->getState (&stream) != kResultOk || stream.getSize () != kStateBytes)
		return LV2_STATE_ERR_UNKNOWN;
	return store (handle, stateKey, stream.getData (), kStateBytes, chunkType,
	              LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
	if (!map)
		return LV2_STATE_ERR_NO_FEATURE;
	size_t size = 0;
	uint32_t type = 0;
	uint32_t flags = 0;
	const void* value = retrieve (handle, stateKey, &size, &type, &flags);
	if (!value)
		return resetToDefaults ();
	if (type != chunkType || size != kStateBytes)
		return LV2_STATE_ERR_BAD_TYPE;
	uint8 bytes[kStateBytes];
	std::memcpy (bytes, value, kStateBytes);
	double values[kReverbParamCount];
	bool bypassed = false;
	MemoryStream decoded (bytes, kStateBytes);
	if (!readProcessorState (&decoded, values, kReverbParamCount, bypassed))
		return LV2_STATE_ERR_BAD_TYPE;
	MemoryStream stream (bytes, kStateBytes);
	if (processor->setState (&stream) != kResultOk)
		return LV2_STATE_ERR_BAD_TYPE;
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		restoredPorts[i] = static_cast<float> (kReverbParameters[i].plain (values[i]));
	restoredPorts[kReverbParamCount] = enabledValue (bypassed);
	restorePending = true;
	return LV2_STATE_SUCCESS;
}

LV2_State_Status Lv2Plugin::resetToDefaults ()
{
	MemoryStream defaults;
	bool written = writeUInt32LE (&defaults, kReverbParamCount);
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		written = written && writeDoubleLE (&defaults, kReverbParameters[i].defaultNormalized);
	written = written && writeUInt32LE (&defaults, 0); // not bypassed
	defaults.seek (0, IBStream::kIBSeekSet, nullptr);
	if (!written || processor->setState (&defaults) != kResultOk)
		return LV2_STATE_ERR_UNKNOWN;
	for (uint32_t i = 0; i <= kReverbParamCount; ++i)
		lastSeen[i] = std::numeric_limits<float>::quiet_NaN ();
	restorePending = false;
	return LV2_STATE_SUCCESS;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
