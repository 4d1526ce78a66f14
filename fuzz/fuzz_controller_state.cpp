// The controller's setComponentState on arbitrary bytes: it answers, and every parameter's
// normalised value stays finite and within 0..1.
#include "fuzzcheck.h"
#include "statebytes.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace kt3fuzz;

extern "C" int LLVMFuzzerTestOneInput (const uint8* data, size_t size)
{
	Controller<> controller;
	IEditController* edit = controller.edit;
	require (kt3host::setComponentState (edit, kt3host::Bytes (data, data + size)) == kResultOk,
	         "setComponentState answers kResultOk");
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
