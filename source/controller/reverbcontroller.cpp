#include "reverbcontroller.h"
#include "factorypresets.h"
#include "indexedparameter.h"
#include "reverbparameters.h"
#include "scaledparameter.h"

#include "pluginterfaces/base/ustring.h"
#include <cmath>

namespace Steinberg {
namespace Vst {
namespace Orvix {

// The processor stores one value for each of the four parameters.
ReverbController::ReverbController () : BaseController (kReverbParamCount) {}

tresult PLUGIN_API ReverbController::initialize (FUnknown* context)
{
	const tresult result = BaseController::initialize (context);
	if (result != kResultOk)
		return result;
	for (const ReverbParameter& p : kReverbParameters)
	{
		auto* parameter = new ScaledParameter (UString128 (p.title), UString128 (p.units ()), 0, p.defaultNormalized,
		                                       ParameterInfo::kCanAutomate, p.id, p.minPlain, p.maxPlain, false,
		                                       kRootUnitId);
		parameter->setPrecision (p.precision);
		parameters.addParameter (parameter);
	}

	// After the five others, so that their IDs and list indices stay as they were.
	auto* presets = new IndexedParameter (UString128 ("Preset"), nullptr, kFactoryPresetCount - 1,
	                                      0.0, ParameterInfo::kIsProgramChange | ParameterInfo::kIsList,
	                                      kPresetsId, kRootUnitId);
	for (int32 i = 0; i < kFactoryPresetCount; ++i)
		presets->setStepName (i, UString128 (factoryPreset (i).name));
	parameters.addParameter (presets);
	return result;
}

tresult PLUGIN_API ReverbController::setParamNormalized (ParamID tag, ParamValue value)
{
	const tresult result = BaseController::setParamNormalized (tag, value);
	if (tag != kPresetsId || result != kResultOk || std::isnan (value))
		return result;
	const FactoryPreset& preset = factoryPreset (presetIndexOf (getParamNormalized (kPresetsId)));
	for (ParamID id = 0; id < kReverbParamCount; ++id)
		BaseController::setParamNormalized (id, presetNormalized (preset, id));
	// The host may hold a lock of its own in this call: it hears of the values later.
	sendValuesToProcessor ();
	restartLater (kParamValuesChanged);
	return kResultOk;
}

tresult PLUGIN_API ReverbController::terminate ()
{
	return BaseController::terminate ();
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
