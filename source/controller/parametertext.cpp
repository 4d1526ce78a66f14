#include "parametertext.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

std::string asciiText (const TChar* text)
{
	std::string out;
	for (const TChar* c = text; *c && out.size () < 128; ++c)
		out += *c >= 0x20 && *c < 0x7f ? static_cast<char> (*c) : '?';
	return out;
}

std::string textWithUnits (const Parameter& parameter, ParamValue valueNormalized)
{
	String128 value {};
	parameter.toString (valueNormalized, value);
	const std::string units = asciiText (parameter.getInfo ().units);
	return units.empty () ? asciiText (value) : asciiText (value) + " " + units;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
