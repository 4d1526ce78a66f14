// roundedPowerOfTen against the exact power, for every float exponent in [-1, 1].
#include "directprocessor.h"
#include "exactpoweroften.h"
#include "kt3ids.h"
#include "powerten.h"
#include "processblock.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

using namespace Steinberg::Vst;
using Orvix::roundedPowerOfTen;

namespace {

uint32_t bitsOf (float value)
{
	uint32_t bits;
	std::memcpy (&bits, &value, sizeof bits);
	return bits;
}

float floatFromBits (uint32_t bits)
{
	float value;
	std::memcpy (&value, &bits, sizeof value);
	return value;
}

// The midpoints between a positive float and its neighbours, exact in double.
double midpointBelow (float g)
{
	return (double (floatFromBits (bitsOf (g) - 1)) + double (g)) / 2;
}

double midpointAbove (float g)
{
	return (double (g) + double (floatFromBits (bitsOf (g) + 1))) / 2;
}

// Which side of a midpoint 10^e lies on: by the maths library's double e^(e ln 10) where that
// is clearly decided, by the exact reference where it is not. Every 256th screened power is
// also checked against the exact reference, so that a platform's inaccurate exp shows.
class MidpointJudge
{
public:
	int side (float e, double midpoint)
	{
		const double difference = screenedPower (e) - midpoint;
		if (std::fabs (difference) > kScreenMargin * midpoint)
			return difference > 0 ? 1 : -1;
		++decidedExactly;
		return exact.compare (e, midpoint);
	}

	uint64_t decidedExactly = 0;
	std::vector<float> screenOutsideBound;

private:
	// exp and the rounded product are within 2^-50.5 of 10^e; the check holds them to 2^-48.
	static constexpr double kScreenMargin = 0x1p-44;
	static constexpr double kScreenBound = 0x1p-48;
	static constexpr double kLn10 = 2.302585092994046;

	double screenedPower (float e)
	{
		if (e == lastExponent)
			return lastPower;
		lastExponent = e;
		lastPower = std::exp (double (e) * kLn10);
		if (++screened % 256 == 0 && !(exact.compare (e, lastPower * (1 + kScreenBound)) < 0 &&
		                               exact.compare (e, lastPower * (1 - kScreenBound)) > 0))
			screenOutsideBound.push_back (e);
		return lastPower;
	}

	ExactPowerOfTen exact;
	float lastExponent = 2.0f;
	double lastPower = 0;
	uint64_t screened = 0;
};

} // namespace

// Results must not decrease as the exponent grows, so each run of exponents with one result
// g is right when its first exponent's power lies above the midpoint below g and its last
// one's below the midpoint above g: only where the result changes is the power computed.
TEST (PowerOfTen, EveryFloatExponentInMinusOneToOneGivesTheNearestFloat)
{
	MidpointJudge judge;
	uint64_t wrong = 0;
	float firstWrong = 0.0f;
	const auto check = [&] (bool correct, float e) {
		if (!correct && wrong++ == 0)
			firstWrong = e;
	};
	// From -1 up to -0, then from +0 up to 1.
	constexpr uint32_t kHalf = 0x3f800001u;
	const auto exponentAt = [] (uint32_t i) { return floatFromBits (i < kHalf ? 0xbf800000u - i : i - kHalf); };

	// The results' bits, which order positive floats, stay in a register across the calls.
	uint32_t g = bitsOf (roundedPowerOfTen (-1.0f));
	check (judge.side (-1.0f, midpointBelow (floatFromBits (g))) > 0, -1.0f);
	for (uint32_t i = 1; i < 2 * kHalf; ++i)
	{
		const uint32_t h = bitsOf (roundedPowerOfTen (exponentAt (i)));
		if (h == g)
			continue;
		const float before = exponentAt (i - 1), after = exponentAt (i);
		check (h > g && std::isfinite (floatFromBits (h)), after);
		check (judge.side (before, midpointAbove (floatFromBits (g))) < 0, before);
		check (judge.side (after, midpointBelow (floatFromBits (h))) > 0, after);
		g = h;
	}
	check (judge.side (1.0f, midpointAbove (floatFromBits (g))) < 0, 1.0f);

	EXPECT_EQ (wrong, 0u) << "the first at e = " << std::hexfloat << firstWrong;
	EXPECT_TRUE (judge.screenOutsideBound.empty ()) << "exp is further than 2^-48 from 10^e at e = "
	                                                 << std::hexfloat << judge.screenOutsideBound[0];
	std::printf ("%llu powers within 2^-44 of a midpoint decided by the exact reference\n",
	             static_cast<unsigned long long> (judge.decidedExactly));
}

// Nearest floats to 10^e worked out in 60-digit decimal: the exponents whose powers come
// closest to a float midpoint (0.54 to 3.5 units of a double's last place from it, where the
// precise computation decides), the exact and the plainly known powers, and the edges of
// the shortcut to 1 for tiny exponents.
TEST (PowerOfTen, HardAndKnownExponents)
{
	const std::pair<float, float> cases[] = {
		{-0x1.898cb8p-10f, 0x1.fe3bb0p-1f}, {-0x1.4d89c6p-25f, 0x1.fffffcp-1f}, {-0x1.46110cp-1f, 0x1.d89618p-3f},
		{-0x1.bcb7b2p-27f, 0x1.fffffep-1f}, {-0x1.a2e39ap-16f, 0x1.fff876p-1f}, {-0x1.5894ap-10f, 0x1.fe73e4p-1f},
		{0.0f, 1.0f}, {-0.0f, 1.0f}, {1.0f, 10.0f}, {-1.0f, 0.1f}, {0.5f, 0x1.94c584p+1f},
		{0x1p-27f, 1.0f}, {-0x1p-27f, 1.0f}, {0x1p-149f, 1.0f}};
	for (auto [e, g] : cases)
		EXPECT_EQ (roundedPowerOfTen (e), g) << std::hexfloat << e;
}

// The Output values whose gain the single-precision pow of some maths libraries rounds the
// other way: the processor's dry signal at Mix 0 is the input times the rounded power.
TEST (PowerOfTen, ProcessorAppliesTheRoundedGain)
{
	const std::pair<double, float> outputs[] = {
		{0.0188, 0x1.bea472p-4f}, {0.0848, 0x1.2ea47cp-3f}, {0.2626, 0x1.5729a2p-2f},
		{0.3043, 0x1.9fd096p-2f}, {0.6416, 0x1.eb67cap+0f}, {0.8585, 0x1.4d908ap+2f}};
	for (auto [output, gain] : outputs)
	{
		kt3host::DirectProcessor p;
		kt3host::ProcessBlock block (1, false);
		block.begin (1);
		block.changes ().add (Orvix::kMixId, 0.0);
		block.changes ().add (Orvix::kOutputId, output);
		block.in (0)[0] = 1.0f;
		block.in (1)[0] = -1.0f;
		block.process (p.processor ());
		EXPECT_EQ (block.out (0)[0], gain) << "output " << output;
		EXPECT_EQ (block.out (1)[0], -gain) << "output " << output;
	}
}
