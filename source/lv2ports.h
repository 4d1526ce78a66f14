// The LV2 plug-in's URIs and ports, shared by the plug-in and the generator of its description.
// The URIs come from the vendor record in CMakeLists.txt (kt3version.h). Ports 4..7 are the
// reverb parameters in the order of their IDs, carrying plain values.
#pragma once

#include "kt3ids.h"
#include "kt3version.h"
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
	kLv2FirstParameter = 4, // Size, HF Damp, Mix, Output
	kLv2Enabled = kLv2FirstParameter + kReverbParamCount,
	kLv2PortCount
};

// Port symbols, in port order.
inline constexpr const char* kLv2PortSymbols[kLv2PortCount] = {
    "in_l", "in_r", "out_l", "out_r", "size", "hf_damp", "mix", "output", "enabled"};

// Bounds on the block the processor is set up for: the longest that LV2 run calls are cut into.
// Without a host's bufsz:maxBlockLength the default applies; the crossfade buffers hold at
// most BaseProcessor::kMaxCrossfade frames, so no longer block is ever prepared.
inline constexpr uint32_t kLv2DefaultMaxBlock = 8192;

inline constexpr double kLv2MinSampleRate = 8000.0;
inline constexpr double kLv2MaxSampleRate = 384000.0;

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
