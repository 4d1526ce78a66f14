#include "processorhost.h"
#include "reverbparameters.h"
#include "statestream.h"

#include "public.sdk/source/common/memorystream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {
namespace Orvix {

std::unique_ptr<ProcessorHost> ProcessorHost::create (double sampleRate, uint32_t maxBlock)
{
	std::unique_ptr<ProcessorHost> host (new (std::nothrow) ProcessorHost);
	if (!host || !host->setUp (sampleRate, maxBlock))
		return nullptr;
	return host;
}

bool ProcessorHost::setUp (double sampleRate, uint32_t maxBlock)
{
	if (maxBlock == 0 || maxBlock > static_cast<uint32_t> (BaseProcessor::kMaxCrossfade))
		return false;
	blockLimit = maxBlock;
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

ProcessorHost::~ProcessorHost ()
{
	if (!processor)
		return;
	setActive (false);
	processor->terminate ();
}

void ProcessorHost::setActive (bool state)
{
	if (active)
	{
		processor->setProcessing (false);
		processor->setActive (false);
	}
	active = state;
	if (!active)
		return;
	processor->setActive (true);
	processor->setProcessing (true);
}

void ProcessorHost::setValue (uint32_t index, double plain)
{
	if (index < kReverbParamCount)
		changes.add (kReverbParameters[index].id, kReverbParameters[index].normalized (plain));
}

void ProcessorHost::setBypass (bool bypassed)
{
	changes.add (kBypassId, bypassed ? 1.0 : 0.0);
}

void ProcessorHost::run (const float* const inputs[2], float* const outputs[2], uint32_t frames)
{
	uint32_t done = 0;
	do
	{
		const uint32_t n = std::min (frames - done, blockLimit);
		processBlock (inputs, outputs, done, n);
		changes.clear (); // the changes belong to the run's first block
		done += n;
	} while (done < frames);
}

void ProcessorHost::processBlock (const float* const inputs[2], float* const outputs[2], uint32_t offset,
                                  uint32_t frames)
{
	for (int c = 0; c < 2; ++c)
	{
		inPointers[c] = inputs[c] ? const_cast<float*> (inputs[c]) + offset : nullptr;
		outPointers[c] = outputs[c] ? outputs[c] + offset : nullptr;
	}
	separateAliasedInputs (frames);
	inBus.silenceFlags = 0;
	outBus.silenceFlags = 0;
	data.numSamples = static_cast<int32> (frames);
	processor->process (data);
}

void ProcessorHost::separateAliasedInputs (uint32_t frames)
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

bool ProcessorHost::getState (StateBytes& bytes)
{
	MemoryStream stream;
	if (processor->getState (&stream) != kResultOk || stream.getSize () != kStateBytes)
		return false;
	std::memcpy (bytes.data (), stream.getData (), kStateBytes);
	return true;
}

bool ProcessorHost::setState (const uint8* bytes, size_t size, Values* restored)
{
	if (!bytes || size != kStateBytes)
		return false;
	// The processor reads its own copy: the stream does not take over the caller's memory.
	StateBytes copy;
	std::memcpy (copy.data (), bytes, kStateBytes);
	MemoryStream stream (copy.data (), kStateBytes);
	if (processor->setState (&stream) != kResultOk)
		return false;
	if (restored)
	{
		double normalized[kReverbParamCount];
		processor->newestState (normalized, kReverbParamCount, restored->bypassed);
		for (uint32_t i = 0; i < kReverbParamCount; ++i)
			restored->plain[i] = kReverbParameters[i].plain (normalized[i]);
	}
	return true;
}

bool ProcessorHost::setValues (const Values& values)
{
	MemoryStream stream;
	bool written = writeUInt32LE (&stream, kReverbParamCount);
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		written = written && writeDoubleLE (&stream, kReverbParameters[i].normalized (values.plain[i]));
	written = written && writeUInt32LE (&stream, values.bypassed ? 1 : 0);
	stream.seek (0, IBStream::kIBSeekSet, nullptr);
	return written && processor->setState (&stream) == kResultOk;
}

ProcessorHost::Values ProcessorHost::defaults ()
{
	Values values;
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		values.plain[i] = kReverbParameters[i].plain (kReverbParameters[i].defaultNormalized);
	return values;
}

bool ProcessorHost::resetToDefaults ()
{
	return setValues (defaults ());
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
