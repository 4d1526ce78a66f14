// An independent reference for 10^e with e a float in [-1, 1]: integer fixed-point
// arithmetic (4 whole bits, 124 fraction bits), 10^|e| as the product of 10^(2^-j) over the
// set bits of |e|, those powers from 10 by repeated integer square roots. Shares nothing with
// the program's floating-point computation, and gives the same answer on every platform.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

class ExactPowerOfTen
{
public:
	ExactPowerOfTen ()
	{
		roots[0] = u128 (10) << kFraction;
		for (int j = 1; j < kRoots; ++j)
			roots[j] = squareRoot (roots[j - 1]);
	}

	// The sign of 10^e - m for m in [2^-5, 16): +1, -1, or 0 where the two are closer than
	// this arithmetic can tell apart (2^-112, against an error below 2^-114).
	int compare (float e, long double m) const
	{
		const u128 power = powerOfAbs (e);
		const u128 mid = fixed (m);
		// For e < 0, 10^e - m has the sign of 1 - 10^|e| * m.
		const u128 a = e < 0 ? u128 (1) << kFraction : power;
		const u128 b = e < 0 ? multiply (power, mid) : mid;
		const u128 distance = a > b ? a - b : b - a;
		if (distance <= kUndecided)
			return 0;
		return a > b ? 1 : -1;
	}

private:
	using u128 = unsigned __int128;
	static constexpr int kFraction = 124;
	static constexpr int kRoots = 150; // |e| >= 2^-149 when not zero
	static constexpr u128 kUndecided = u128 (1) << 12;

	struct Wide // a 256-bit product
	{
		u128 hi, lo;
		bool operator<= (const Wide& o) const { return hi < o.hi || (hi == o.hi && lo <= o.lo); }
	};

	static Wide multiplyWide (u128 a, u128 b)
	{
		const uint64_t a0 = uint64_t (a), a1 = uint64_t (a >> 64), b0 = uint64_t (b), b1 = uint64_t (b >> 64);
		const u128 p00 = u128 (a0) * b0, p01 = u128 (a0) * b1, p10 = u128 (a1) * b0, p11 = u128 (a1) * b1;
		const u128 middle = (p00 >> 64) + uint64_t (p01) + uint64_t (p10);
		return {p11 + (p01 >> 64) + (p10 >> 64) + (middle >> 64), (middle << 64) | uint64_t (p00)};
	}

	// Truncated: at most one unit of the last fraction bit low.
	static u128 multiply (u128 a, u128 b)
	{
		const Wide w = multiplyWide (a, b);
		return (w.hi << (128 - kFraction)) | (w.lo >> kFraction);
	}

	// The largest y with y^2 <= x * 2^124, bit by bit.
	static u128 squareRoot (u128 x)
	{
		const Wide target {x >> (128 - kFraction), x << kFraction};
		u128 y = 0;
		for (int bit = 127; bit >= 0; --bit)
		{
			const u128 candidate = y | (u128 (1) << bit);
			if (multiplyWide (candidate, candidate) <= target)
				y = candidate;
		}
		return y;
	}

	// 10^|e|: each root is at most 2 units low (a root halves its input's error and truncates),
	// each product truncates by at most 1; with 24 factors of at least 1 and a product below
	// 10 that is under 2^10 units, also after the multiplication by m for e < 0.
	u128 powerOfAbs (float e) const
	{
		uint32_t bits;
		std::memcpy (&bits, &e, sizeof bits);
		const int biased = int (bits >> 23) & 0xff;
		// |e| = mantissa * 2^-shift
		const uint32_t mantissa = (bits & 0x7fffff) | (biased ? 0x800000u : 0u);
		const int shift = biased ? 150 - biased : 149;
		u128 power = u128 (1) << kFraction;
		for (int i = 0; i < 24; ++i)
			if (mantissa >> i & 1)
				power = multiply (power, roots[shift - i]);
		return power;
	}

	// m in [2^-5, 16) exactly: its 64-bit significand shifted into place.
	static u128 fixed (long double m)
	{
		int exponent;
		const long double fraction = std::frexp (m, &exponent);
		const uint64_t significand = uint64_t (std::ldexp (fraction, 64));
		return u128 (significand) << (exponent - 64 + kFraction);
	}

	u128 roots[kRoots];
};
