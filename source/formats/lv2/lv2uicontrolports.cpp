#include "lv2uicontrolports.h"
#include "lv2ports.h"
#include "reverbparameters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

// The control port of a parameter: 4..7 for the reverb's, 8 for the bypass.
std::optional<uint32_t> portOf (ParamID id)
{
	if (id == kBypassId)
		return kLv2Enabled;
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		if (kReverbParameters[i].id == id)
			return kLv2FirstParameter + i;
	return std::nullopt;
}

// `enabled` is a toggle: above zero is on, that is, not bypassed.
constexpr float enabledOf (ParamValue bypassNormalized)
{
	return bypassNormalized >= 0.5 ? 0.f : 1.f;
}

} // namespace

Lv2UiControlPorts::Lv2UiControlPorts (IEditController* controller, LV2UI_Write_Function write,
                                      LV2UI_Controller host, const LV2UI_Touch* touch)
: controller (controller), write (write), host (host), touchFeature (touch)
{
}

void Lv2UiControlPorts::portEvent (uint32_t index, uint32_t bufferSize, uint32_t format, const void* buffer)
{
	if (!buffer || format != 0 || bufferSize != sizeof (float) || index < kLv2FirstParameter || index > kLv2Enabled)
		return;
	float value;
	std::memcpy (&value, buffer, sizeof value); // the host's buffer need not be aligned
	if (std::isnan (value))
		return;
	if (index == kLv2Enabled)
	{
		controller->setParamNormalized (kBypassId, value > 0.f ? 0.0 : 1.0);
		return;
	}
	const ReverbParameter& parameter = kReverbParameters[index - kLv2FirstParameter];
	const double plain = std::clamp (static_cast<double> (value), parameter.minPlain, parameter.maxPlain);
	controller->setParamNormalized (parameter.id, parameter.normalized (plain));
}

tresult PLUGIN_API Lv2UiControlPorts::performEdit (ParamID id, ParamValue valueNormalized)
{
	const std::optional<uint32_t> port = portOf (id);
	if (!port || std::isnan (valueNormalized))
		return kInvalidArgument;
	const ParamValue normalized = std::clamp (valueNormalized, 0.0, 1.0);
	const float value = *port == kLv2Enabled
	                        ? enabledOf (normalized)
	                        : static_cast<float> (kReverbParameters[*port - kLv2FirstParameter].plain (normalized));
	write (host, *port, sizeof value, 0, &value);
	return kResultOk;
}

tresult PLUGIN_API Lv2UiControlPorts::beginEdit (ParamID id)
{
	return touch (id, true);
}

tresult PLUGIN_API Lv2UiControlPorts::endEdit (ParamID id)
{
	return touch (id, false);
}

tresult Lv2UiControlPorts::touch (ParamID id, bool grabbed)
{
	const std::optional<uint32_t> port = portOf (id);
	if (!port)
		return kInvalidArgument;
	if (touchFeature && touchFeature->touch)
		touchFeature->touch (touchFeature->handle, *port, grabbed);
	return kResultOk;
}

// The controller asks the host to reread values or names; an LV2 host reads those from the
// plug-in's description, so there is nothing to pass on.
tresult PLUGIN_API Lv2UiControlPorts::restartComponent (int32 /*flags*/)
{
	return kResultOk;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
