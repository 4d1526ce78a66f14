// IndexedParameter: a parameter with a fixed number of steps, each shown by a text of its own
// (the bypass switch: "off" and "on").
#pragma once

#include "baseparameter.h"
#include <array>
#include <vector>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class IndexedParameter : public BaseParameter
{
public:
	// Every step, 0 to the step count, starts with an empty text.
	IndexedParameter (const TChar* title, const TChar* units, int32 stepCount,
	                  ParamValue defaultValueNormalized, int32 flags, ParamID id, UnitID unitId);

	// Copies `text` up to its terminator, at most 127 code units; an index outside
	// 0..step count is ignored.
	void setStepName (int32 index, const TChar* text);

	// The text of the step the value falls in; each step owns an equal share of 0..1.
	void toString (ParamValue valueNormalized, String128 string) const SMTG_OVERRIDE;
	// A step's text (case matters), or a whole number from 0 to the step count.
	bool fromString (const TChar* string, ParamValue& valueNormalized) const SMTG_OVERRIDE;
	// Not rounded: the step index with a fraction, 0 to the step count.
	ParamValue toPlain (ParamValue valueNormalized) const SMTG_OVERRIDE;
	ParamValue toNormalized (ParamValue plainValue) const SMTG_OVERRIDE;

protected:
	using StepName = std::array<TChar, 128>;
	std::vector<StepName> stepNames;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
