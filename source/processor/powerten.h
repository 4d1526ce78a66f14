// The output gain's power of ten, rounded correctly to single precision by the program's own
// arithmetic (no maths library), so that every platform and compiler gives the same bits.
#pragma once

namespace Steinberg {
namespace Vst {
namespace Orvix {

// The float nearest to 10^exponent, for exponents in [-1, 1] (ties would go to even, but
// no exponent in that range has a non-float 10^exponent on a tie). Neither allocates nor
// blocks, so the audio thread may call it; a few nanoseconds usually, a few hundred when the
// power lies close to the midpoint between two floats.
float roundedPowerOfTen (float exponent);

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
