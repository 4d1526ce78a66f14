// The LV2 plug-in's URIs and ports, shared by the plug-in, its editor and the generator of its
// description. The URIs come from the vendor record in CMakeLists.txt (kt3version.h). The
// control ports follow the audio ports: the reverb parameters in the order of their IDs,
// carrying plain values, then `enabled`.
#pragma once

#include "kt3ids.h"
#include "kt3version.h"
#include "reverbparameters.h"

#include <array>
#include <cstdint>

namespace Steinberg {
namespace Vst {
namespace Orvix {

inline constexpr const char* kLv2PluginUri = KT3_LV2_URI;
inline constexpr const char* kLv2UiUri = KT3_LV2_UI_URI;
inline constexpr const char* kLv2PresetUriPrefix = KT3_LV2_PRESET_URI_PREFIX;
// The key under which the state interface keeps the processor's state stream.
inline constexpr const char* kLv2StateKeyUri = KT3_LV2_STATE_URI;

enum Lv2Port : uint32_t
{
	kLv2InLeft = 0,
	kLv2InRight = 1,
	kLv2OutLeft = 2,
	kLv2OutRight = 3,
	kLv2FirstParameter, // the first row of kReverbParameters
	kLv2Enabled = kLv2FirstParameter + kReverbParamCount,
	kLv2PortCount
};

// Port symbols, in port order.
constexpr std::array<const char*, kLv2PortCount> lv2PortSymbols ()
{
	std::array<const char*, kLv2PortCount> symbols {"in_l", "in_r", "out_l", "out_r"};
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		symbols[kLv2FirstParameter + i] = kReverbParameters[i].symbol;
	symbols[kLv2Enabled] = "enabled";
	return symbols;
}
inline constexpr std::array<const char*, kLv2PortCount> kLv2PortSymbols = lv2PortSymbols ();

// Bounds on the block the processor is set up for: the longest that LV2 run calls are cut into.
// Without a host's bufsz:maxBlockLength the default applies; the crossfade buffers hold at
// most BaseProcessor::kMaxCrossfade frames, so no longer block is ever prepared.
inline constexpr uint32_t kLv2DefaultMaxBlock = 8192;

inline constexpr double kLv2MinSampleRate = 8000.0;
inline constexpr double kLv2MaxSampleRate = 384000.0;

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
