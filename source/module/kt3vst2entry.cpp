// VSTPluginMain: the module's VST 2.4 entry. Wraps the registered processor and its
// controller in one VST 2.4 effect with the unique ID 'jKT3'.
#include "kt3ids.h"

#include "public.sdk/source/main/moduleentry.h"
#include "public.sdk/source/vst/vst2wrapper/vst2wrapper.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

extern "C" IPluginFactory* PLUGIN_API GetPluginFactory ();

KT3_EXPORT AEffect* VSTPluginMain (
    audioMasterCallback hostCallback)
{
	// A host that answers 0 to the version question is not a VST 2 host: nothing is built.
	if (!hostCallback || hostCallback (nullptr, audioMasterVersion, 0, 0, nullptr, 0.f) == 0)
		return nullptr;
	InitModule ();
	IPluginFactory* factory = GetPluginFactory ();
	if (!factory)
		return nullptr;
	TUID processorId;
	Orvix::kKT3ProcessorUID.toTUID (processorId);
	AEffect* effect =
	    Vst2Wrapper::create (factory, processorId, CCONST ('j', 'K', 'T', '3'), hostCallback);
	factory->release (); // the wrapper holds its own reference
	return effect;
}
