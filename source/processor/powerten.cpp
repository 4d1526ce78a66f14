#include "powerten.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

constexpr double kLog2Of10 = 0x1.a934f0979a371p+1;
constexpr double kLn2 = 0x1.62e42fefa39efp-1;
// ln 10 as an unevaluated sum of two doubles: 107 bits.
constexpr double kLn10Hi = 0x1.26bb1bbb55516p+1;
constexpr double kLn10Lo = -0x1.f48ad494ea3e9p-53;
// Adding and subtracting it rounds a double below 2^51 in magnitude to a whole number.
constexpr double kRoundingShift = 0x1.8p52;

// A double keeps 29 bits below a float's last one; a float midpoint has them 1000...0.
constexpr uint64_t kBelowFloat = (uint64_t (1) << 29) - 1;
constexpr uint64_t kMidpointBits = uint64_t (1) << 28;
// The estimate is within 2^-45.5 of 10^exponent (relative): 2^-46.1 from cutting the series,
// 2^-49.4 from its rounding, 2^-50 from the reduced argument's. 2^10 of its last bits are at
// least 2^-43 of it, so an estimate further than that from a midpoint rounds as the power does.
constexpr uint64_t kMidpointMargin = uint64_t (1) << 10;

uint64_t bitsOf (double value)
{
	uint64_t bits;
	std::memcpy (&bits, &value, sizeof bits);
	return bits;
}

double fromBits (uint64_t bits)
{
	double value;
	std::memcpy (&value, &bits, sizeof value);
	return value;
}

// 10^exponent = 2^n * e^r with n the nearest whole number to exponent * log2(10) and
// |r| <= ln(2) / 2, e^r by its Taylor series to r^11, summed in pairs (Estrin's scheme) for a
// short chain of dependent operations.
double estimatePowerOfTen (float exponent)
{
	const double t = double (exponent) * kLog2Of10;
	const double n = (t + kRoundingShift) - kRoundingShift;
	const double r = (t - n) * kLn2;
	const double r2 = r * r, r4 = r2 * r2, r8 = r4 * r4;
	const double p01 = 1.0 + r, p23 = 1.0 / 2 + r * (1.0 / 6);
	const double p45 = 1.0 / 24 + r * (1.0 / 120), p67 = 1.0 / 720 + r * (1.0 / 5040);
	const double p89 = 1.0 / 40320 + r * (1.0 / 362880), p1011 = 1.0 / 3628800 + r * (1.0 / 39916800);
	const double p = (p01 + r2 * p23) + r4 * (p45 + r2 * p67) + r8 * (p89 + r2 * p1011);
	return p * fromBits (uint64_t (1023 + int (n)) << 52); // times 2^n
}

// Double-double arithmetic: a value is the unevaluated sum hi + lo with |lo| <= ulp (hi) / 2.
// Exact while the build keeps products and sums apart (no contraction into FMA).
struct DoubleDouble
{
	double hi, lo;
};

DoubleDouble quickTwoSum (double a, double b) // |a| >= |b|
{
	const double s = a + b;
	return {s, b - (s - a)};
}

DoubleDouble twoSum (double a, double b)
{
	const double s = a + b;
	const double v = s - a;
	return {s, (a - (s - v)) + (b - v)};
}

DoubleDouble split (double a)
{
	const double t = 134217729.0 * a; // 2^27 + 1
	const double hi = t - (t - a);
	return {hi, a - hi};
}

DoubleDouble twoProduct (double a, double b)
{
	const double p = a * b;
	const DoubleDouble x = split (a), y = split (b);
	return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

DoubleDouble operator* (DoubleDouble a, DoubleDouble b)
{
	DoubleDouble p = twoProduct (a.hi, b.hi);
	p.lo += a.hi * b.lo + a.lo * b.hi;
	return quickTwoSum (p.hi, p.lo);
}

DoubleDouble operator+ (DoubleDouble a, DoubleDouble b)
{
	DoubleDouble s = twoSum (a.hi, b.hi);
	const DoubleDouble t = twoSum (a.lo, b.lo);
	s = quickTwoSum (s.hi, s.lo + t.hi);
	return quickTwoSum (s.hi, s.lo + t.lo);
}

DoubleDouble operator/ (DoubleDouble a, double k)
{
	const double q = a.hi / k;
	const DoubleDouble p = twoProduct (q, k);
	return quickTwoSum (q, (((a.hi - p.hi) - p.lo) + a.lo) / k);
}

// 10^exponent to about 2^-93 (relative): e^x for x = exponent * ln(10) is (e^(x/16))^16, with
// |x/16| <= 0.144 and its Taylor series to the 19th power (cut at 2^-117).
DoubleDouble precisePowerOfTen (float exponent)
{
	const DoubleDouble product = twoProduct (exponent, kLn10Hi);
	const DoubleDouble x = quickTwoSum (product.hi, product.lo + double (exponent) * kLn10Lo);
	const DoubleDouble s {x.hi / 16.0, x.lo / 16.0};
	DoubleDouble p {1.0, 0.0};
	for (int k = 19; k >= 1; --k)
		p = DoubleDouble {1.0, 0.0} + (p * s) / double (k);
	for (int i = 0; i < 4; ++i)
		p = p * p;
	return p;
}

} // namespace

float roundedPowerOfTen (float exponent)
{
	// Within (-2^-27, 2^-27), 10^exponent is closer to 1 than 1.8e-8, and the midpoints
	// around 1 are 2^-25 (3e-8) below it and 2^-24 above.
	if (std::fabs (exponent) < 0x1p-27f)
		return 1.0f;
	const double estimate = estimatePowerOfTen (exponent);
	const uint64_t bits = bitsOf (estimate);
	const uint64_t belowFloat = bits & kBelowFloat;
	const uint64_t fromMidpoint = belowFloat > kMidpointBits ? belowFloat - kMidpointBits : kMidpointBits - belowFloat;
	if (fromMidpoint > kMidpointMargin)
		return float (estimate);

	// Close to the midpoint between two floats: the side of it the precise power lies on
	// decides. hi and the midpoint are that close, so their difference is exact.
	const double midpoint = fromBits ((bits & ~kBelowFloat) | kMidpointBits);
	const float below = float (fromBits (bits & ~kBelowFloat));
	const float above = float (fromBits ((bits & ~kBelowFloat) + kBelowFloat + 1));
	const DoubleDouble power = precisePowerOfTen (exponent);
	const double side = (power.hi - midpoint) + power.lo;
	if (side != 0.0)
		return side > 0.0 ? above : below;
	return (bitsOf (double (below)) >> 29) % 2 == 0 ? below : above; // a tie: the even float
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
