// The controller's setComponentState on arbitrary bytes, beside a real processor's setState
// on the same bytes: both give the same answer, and the controller ends with the values the
// processor then writes through getState (a stream both refuse leaves both at the defaults).
// Every parameter's normalised value stays finite and within 0..1.
#include "directprocessor.h"
#include "fuzzcheck.h"
#include "kt3ids.h"
#include "statebytes.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace kt3fuzz;

extern "C" int LLVMFuzzerTestOneInput (const uint8* data, size_t size)
{
	const kt3host::Bytes bytes (data, data + size);
	kt3host::DirectProcessor processor ({48000.0, 64, false});
	Controller<> controller;
	IEditController* edit = controller.edit;
	require (kt3host::setComponentState (edit, bytes) ==
	             kt3host::setState (processor.component (), bytes),
	         "the controller and the processor answer alike");

	const kt3host::Bytes state = kt3host::getState (processor.component ());
	require (state.size () == 40, "getState writes 40 bytes");
	for (ParamID id = 0; id < Orvix::kReverbParamCount; ++id)
	{
		double value = 0.0;
		std::memcpy (&value, state.data () + 4 + 8 * id, 8); // the fuzzing machine is little-endian
		require (edit->getParamNormalized (id) == value, "the controller mirrors the processor's values");
	}
	require (edit->getParamNormalized (Orvix::kBypassId) == (state[36] ? 1.0 : 0.0),
	         "the controller mirrors the processor's bypass");

	for (int32 index = 0; index < edit->getParameterCount (); ++index)
	{
		ParameterInfo info {};
		require (edit->getParameterInfo (index, info) == kResultOk, "getParameterInfo");
		const ParamValue value = edit->getParamNormalized (info.id);
		require (std::isfinite (value) && value >= 0.0 && value <= 1.0,
		         "normalised values finite and within 0..1");
	}
	return 0;
}
