// The VST 2.4 binary interface, from the FST header, with the opcode values it leaves unnamed.
// Files that include this are built with -Wno-cpp: the header carries #warning notes.
#pragma once

#include <pluginterfaces/fst/fst.h>
#include <cstddef>

namespace Steinberg {
namespace Vst {
namespace Vst2 {

// Dispatcher opcodes the FST header marks as unknown (its placeholders hold wrong values).
constexpr int kEffSetBypass = 44;
constexpr int kEffGetTailSize = 52;
// The host callback's request to re-read every parameter.
constexpr int kAudioMasterUpdateDisplay = 42;

// effVendorSpecific with this index and value carries the host's content scale factor for the
// editor in opt ('PreS', 'AeCs').
constexpr int kVendorScaleIndex = 0x50726553;
constexpr VstIntPtr kVendorScaleValue = 0x41654373;

// Text sizes, terminating zero included.
constexpr size_t kMaxParamTextSize = kVstMaxParamStrLen;
constexpr size_t kMaxProgramNameSize = 24;
constexpr size_t kMaxEffectNameSize = 32;
constexpr size_t kMaxVendorTextSize = 64;

// canDo answers.
constexpr VstIntPtr kCanDoYes = 1;
constexpr VstIntPtr kCanDoUnknown = 0;

} // namespace Vst2
} // namespace Vst
} // namespace Steinberg
