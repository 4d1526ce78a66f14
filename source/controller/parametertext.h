// A parameter's value as a host or the editor's readout prints it: the parameter's own text of
// the value, then its unit after a space ("7.00 m", "70.00 %"), in ASCII.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

#include <string>

namespace Steinberg {
namespace Vst {
namespace Orvix {

// A parameter text (UTF-16) as ASCII; other characters become '?'.
std::string asciiText (const TChar* text);
std::string textWithUnits (const Parameter& parameter, ParamValue valueNormalized);

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
