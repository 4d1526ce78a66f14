// Numbers in parameter texts, printed and read by the "C" locale's formatted input and output
// rules whatever locale the host has set, so that a display text always reads back.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

// "%.*lf": the value with `precision` digits after the point.
void printFixed (double value, int32 precision, String128 out);
// The whole number in decimal.
void printInt64 (int64 value, String128 out);

// "%lf": skips leading white space, converts one number and ignores the text after it.
// Fails, leaving `value` alone, when no number converts or the number is not finite.
bool readDouble (const TChar* text, double& value);
// The same for a decimal whole number; one beyond the 64-bit range reads as the nearest end.
bool readInt64 (const TChar* text, int64& value);

// Cuts toward zero to a 64-bit whole number, saturating at the ends; not a number gives 0.
int64 truncateToInt64 (double value);

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
