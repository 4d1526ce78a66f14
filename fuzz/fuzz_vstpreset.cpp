// The host library's .vstpreset reader on arbitrary bytes: it refuses with a reason or returns
// parts that lie within the file, and what it accepts writes back to a file that reads the same.
#include "fuzzcheck.h"
#include "kt3ids.h"
#include "vstpresetfile.h"

using namespace Steinberg;
using namespace kt3fuzz;

extern "C" int LLVMFuzzerTestOneInput (const uint8* data, size_t size)
{
	TUID cid;
	Vst::Orvix::kKT3ProcessorUID.toTUID (cid);
	const std::string classId = kt3host::classIdText (cid);
	const kt3host::Bytes file (data, data + size);

	kt3host::VstPreset preset;
	std::string error;
	if (!kt3host::readVstPreset (file, classId, preset, error))
	{
		require (!error.empty (), "a refusal gives its reason");
		return 0;
	}
	require (error.empty (), "an accepted file leaves the error alone");
	require (preset.componentState.size () <= size && preset.controllerState.size () <= size &&
	             preset.name.size () <= size,
	         "the parts lie within the file");

	const kt3host::Bytes again = kt3host::writeVstPreset (
	    classId, preset.componentState, preset.controllerState, {preset.name, "KT3", "Fx|Reverb", "Orvix"});
	kt3host::VstPreset reread;
	require (kt3host::readVstPreset (again, classId, reread, error), "a written file reads back");
	require (reread.name == preset.name && reread.componentState == preset.componentState &&
	             reread.controllerState == preset.controllerState,
	         "a written file reads back to the same parts");
	return 0;
}
