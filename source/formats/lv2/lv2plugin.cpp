#include "lv2plugin.h"

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

Lv2Plugin* Lv2Plugin::create (double sampleRate, const LV2_Feature* const* features)
{
	if (!(sampleRate >= kLv2MinSampleRate && sampleRate <= kLv2MaxSampleRate))
		return nullptr;
	std::unique_ptr<Lv2Plugin> plugin (new (std::nothrow) Lv2Plugin);
	if (!plugin)
		return nullptr;
	plugin->host = ProcessorHost::create (sampleRate, plugin->readFeatures (features));
	if (!plugin->host)
		return nullptr;
	for (uint32_t i = 0; i <= kReverbParamCount; ++i)
		plugin->lastSeen[i] = plugin->restoredPorts[i] = std::numeric_limits<float>::quiet_NaN ();
	return plugin.release ();
}

uint32_t Lv2Plugin::readFeatures (const LV2_Feature* const* features)
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
	uint32_t blockLimit = kLv2DefaultMaxBlock;
	if (!map || !map->map)
	{
		map = nullptr;
		return blockLimit;
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
	return blockLimit;
}

Lv2Plugin::~Lv2Plugin () = default;

void Lv2Plugin::connectPort (uint32_t port, void* buffer)
{
	if (port < kLv2FirstParameter)
		audio[port] = static_cast<float*> (buffer);
	else if (port < kLv2PortCount)
		controls[port - kLv2FirstParameter] = static_cast<const float*> (buffer);
}

void Lv2Plugin::activate ()
{
	host->setActive (true);
}

void Lv2Plugin::deactivate ()
{
	host->setActive (false);
}

void Lv2Plugin::collectChanges ()
{
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
			host->setValue (i, value);
		else if (!std::isnan (value))
			host->setBypass (!(value > 0.0f)); // lv2:toggled: above zero is on
	}
	restorePending = false;
}

void Lv2Plugin::run (uint32_t frames)
{
	collectChanges ();
	const float* const inputs[2] = {audio[kLv2InLeft], audio[kLv2InRight]};
	float* const outputs[2] = {audio[kLv2OutLeft], audio[kLv2OutRight]};
	host->run (inputs, outputs, frames);
}

LV2_State_Status Lv2Plugin::save (LV2_State_Store_Function store, LV2_State_Handle handle)
{
	if (!map)
		return LV2_STATE_ERR_NO_FEATURE;
	ProcessorHost::StateBytes bytes;
	if (!host->getState (bytes))
		return LV2_STATE_ERR_UNKNOWN;
	return store (handle, stateKey, bytes.data (), bytes.size (), chunkType, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
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
	{
		if (!host->resetToDefaults ())
			return LV2_STATE_ERR_UNKNOWN;
		for (uint32_t i = 0; i <= kReverbParamCount; ++i)
			lastSeen[i] = std::numeric_limits<float>::quiet_NaN ();
		restorePending = false;
		return LV2_STATE_SUCCESS;
	}
	ProcessorHost::Values restored;
	if (type != chunkType || !host->setState (static_cast<const uint8*> (value), size, &restored))
		return LV2_STATE_ERR_BAD_TYPE;
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		restoredPorts[i] = static_cast<float> (restored.plain[i]);
	restoredPorts[kReverbParamCount] = restored.bypassed ? 0.0f : 1.0f;
	restorePending = true;
	return LV2_STATE_SUCCESS;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
