#include "reverbcontroller.h"
#include "kt3ids.h"
#include "scaledparameter.h"

#include "pluginterfaces/base/ustring.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

struct ReverbParameter
{
	ParamID id;
	const char* title;
	const char* units;
	double minPlain;
	double maxPlain;
	double defaultNormalized;
};

// In the order of their IDs, which is the order of the processor's state stream.
constexpr ReverbParameter kReverbParameters[] = {
	{kSizeId, "Size", "m", 0.0, 10.0, 0.7},
	{kHFDampId, "HF Damp", "%", 0.0, 100.0, 0.7},
	{kMixId, "Mix", "%", 0.0, 100.0, 0.9},
	{kOutputId, "Output", "dB", -20.0, 20.0, 0.5},
};

} // namespace

// The processor stores one value for each of the four parameters.
ReverbController::ReverbController () : BaseController (kReverbParamCount) {}

tresult PLUGIN_API ReverbController::initialize (FUnknown* context)
{
	const tresult result = BaseController::initialize (context);
	if (result != kResultOk)
		return result;
	for (const ReverbParameter& p : kReverbParameters)
		parameters.addParameter (new ScaledParameter (UString128 (p.title), UString128 (p.units), 0,
		                                              p.defaultNormalized,
		                                              ParameterInfo::kCanAutomate, p.id,
		                                              p.minPlain, p.maxPlain, false, kRootUnitId));
	return result;
}

tresult PLUGIN_API ReverbController::terminate ()
{
	return BaseController::terminate ();
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
