// Parameter IDs and class IDs shared by the processor, the controller, the editor and the factory.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/vsttypes.h"

#include "kt3version.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

// The reverb's parameters, stored by the processor under these IDs and in this order.
enum ReverbParamId : ParamID
{
	kSizeId = 0,
	kHFDampId = 1,
	kMixId = 2,
	kOutputId = 3,
	kReverbParamCount = 4
};

constexpr ParamID kBypassId = 1651532147;  // 'bpas'
constexpr ParamID kPresetsId = 1886548852; // 'prst'

// The message the controller sends the processor when it sets values itself, as a program
// change does: the values of the IDs 0 up, as doubles in the binary attribute kValuesAttribute.
constexpr const char* kValuesMessage = "values";
constexpr const char* kValuesAttribute = "Values";

// The CLAP plug-in's ID, from the vendor record; hosts store it in their projects, so it never
// changes.
constexpr const char* kClapPluginId = KT3_CLAP_ID;

// Registered with the factory: the processor and the controller with the editor.
inline const FUID kKT3ProcessorUID (0x3C9E41A7, 0x5B2D4F08, 0x9A61C3E2, 0x7D04B815);
inline const FUID kKT3ControllerUID (0x8F17D2B4, 0x26E94C53, 0xB0A87E19, 0x4C5236DA);
// The controller that a plain ReverbProcessor names; the factory does not register it.
inline const FUID kReverbControllerUID (0xD4A05E72, 0x913B4E6C, 0x85F2A04D, 0x1E6BC397);

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
