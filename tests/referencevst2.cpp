#include "referencevst2.h"
#include "kt3ids.h"

namespace kt3test {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The effect's parameter indices follow the controller's order.
int indexOf (ParamID id)
{
	switch (id)
	{
		case Orvix::kBypassId: return 0;
		case Orvix::kSizeId: return 1;
		case Orvix::kHFDampId: return 2;
		case Orvix::kMixId: return 3;
		case Orvix::kOutputId: return 4;
		default: return -1;
	}
}

VstIntPtr versionOnlyHost (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
	return opcode == audioMasterVersion ? kVstVersion : 0;
}

} // namespace

Vst2Target::Vst2Target (AEffect* effect) : effect (effect)
{
	effect->dispatcher (effect, effSetSampleRate, 0, 0, nullptr, static_cast<float> (kReferenceRate));
	effect->dispatcher (effect, effSetBlockSize, 0, kReferenceMaxBlock, nullptr, 0.0f);
	effect->dispatcher (effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

void Vst2Target::process (float* in[2], float* out[2], int32 frames, const std::vector<Change>& changes)
{
	for (const Change& change : changes)
		effect->setParameter (effect, indexOf (change.id), static_cast<float> (change.value));
	effect->processReplacing (effect, in, out, frames);
}

// A chunk is the two state sizes (component, controller) as 64-bit little-endian numbers,
// then the component's state; the controller's is empty.
bool Vst2Target::setState (const kt3host::Bytes& state)
{
	kt3host::Bytes chunk (16, 0);
	for (int i = 0; i < 8; ++i)
		chunk[i] = static_cast<uint8> (uint64 (state.size ()) >> (8 * i));
	chunk.insert (chunk.end (), state.begin (), state.end ());
	return effect->dispatcher (effect, effSetChunk, 0, static_cast<VstIntPtr> (chunk.size ()),
	                           chunk.data (), 0.0f) == 1;
}

AEffect* openVst2Effect (void* vstPluginMain)
{
	using Main = AEffect* (*) (audioMasterCallback);
	return vstPluginMain ? reinterpret_cast<Main> (vstPluginMain) (versionOnlyHost) : nullptr;
}

AEffect* openVst2Effect (const kt3host::PluginModule& module)
{
	return openVst2Effect (module.symbol ("VSTPluginMain"));
}

} // namespace kt3test
