// An independent, deliberately plain model of the reverb's signal path, written from its
// description (coefficients in double rounded to float, stages in the stated order), used
// as the oracle the processor must match bit for bit. The output gain's power of ten is the
// program's own, correctly rounded one: powerten_test checks it against an exact reference.
#pragma once

#include "powerten.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

struct ReverbModel
{
	double size = 0.7, damp = 0.7, mix = 0.9, output = 0.5;
	std::array<std::array<float, 1024>, 4> rings {};
	float a = 0.0f, coeff = 0.0f, wet = 0.0f, dry = 0.0f, sizeFactor = 0.0f;
	int r = 0;
	bool silent = false;
	bool clean = false;

	void update ()
	{
		coeff = float (damp * double (0.9f) + double (0.05f));
		const float g = Steinberg::Vst::Orvix::roundedPowerOfTen (float (output * 2.0 - 1.0));
		dry = float (double (g) - (mix * mix) * double (g));
		wet = float ((mix * double (0.8f)) * double (g));
		sizeFactor = float (size * double (2.665f) + double (0.025f));
	}

	int delay (int stage) const
	{
		static const int lengths[4] = {107, 142, 277, 379};
		return int (sizeFactor * float (lengths[stage]));
	}

	void zero ()
	{
		for (auto& ring : rings)
			ring.fill (0.0f);
		clean = true;
	}

	// One block, in place on the two channels.
	void block (float* left, float* right, int n)
	{
		if (!clean)
			zero ();
		for (int i = 0; i < n; ++i)
		{
			const float xL = left[i], xR = right[i];
			a = a + ((xR + xL) * wet - a) * coeff;
			float u = a, tL = 0, tR = 0;
			for (int k = 0; k < 4; ++k)
			{
				const float y = rings[k][r];
				const float v = u - 0.8f * y;
				rings[k][(r + delay (k)) & 1023] = v;
				u = v + y;
				if (k == 2)
					tL = u;
				if (k == 3)
					tR = u;
			}
			left[i] = (xL * dry + tL) - a;
			right[i] = (tR + xR * dry) - a;
			r = (r + 1) & 1023;
		}
		if (std::fabs (double (a)) > 1e-10)
			silent = false;
		else
		{
			a = 0.0f;
			if (!silent && !ringing ())
			{
				silent = true;
				zero ();
			}
		}
	}

	// Whether any ring entry is still above the silence threshold.
	bool ringing () const
	{
		for (const auto& ring : rings)
			for (float v : ring)
				if (std::fabs (double (v)) > 1e-10)
					return true;
		return false;
	}
};

// Deterministic white noise in -amplitude..amplitude.
inline std::vector<float> noise (size_t count, uint32_t seed, float amplitude = 0.5f)
{
	std::vector<float> out (count);
	for (auto& s : out)
	{
		seed = seed * 1664525u + 1013904223u;
		s = amplitude * (float (seed >> 8) / float (1 << 23) - 1.0f);
	}
	return out;
}
