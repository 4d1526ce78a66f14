// Runs the calling thread with denormal numbers flushed to zero, as many hosts run their audio
// threads, until the end of the scope. x86_64: MXCSR's FTZ and DAZ bits; aarch64: FPCR's FZ
// bit, which flushes denormal operands and results alike.
#pragma once

#include <cstdint>

#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace kt3test {

class FlushToZero
{
public:
	FlushToZero () : saved (read ()) { write (saved | kFlushBits); }
	~FlushToZero () { write (saved); }
	FlushToZero (const FlushToZero&) = delete;
	FlushToZero& operator= (const FlushToZero&) = delete;

	// Whether the calling thread now flushes: half the smallest normal float becomes zero.
	static bool flushes ()
	{
		volatile float smallest = 1.17549435e-38f;
		return smallest * 0.5f == 0.0f;
	}

private:
#if defined(__x86_64__)
	static constexpr uint64_t kFlushBits = 0x8040; // FTZ (bit 15) and DAZ (bit 6)
	static uint64_t read () { return _mm_getcsr (); }
	static void write (uint64_t bits) { _mm_setcsr (static_cast<unsigned> (bits)); }
#elif defined(__aarch64__)
	static constexpr uint64_t kFlushBits = uint64_t (1) << 24; // FZ
	static uint64_t read ()
	{
		uint64_t bits;
		asm volatile ("mrs %0, fpcr" : "=r"(bits));
		return bits;
	}
	static void write (uint64_t bits) { asm volatile ("msr fpcr, %0" : : "r"(bits)); }
#else
#error "no flush-to-zero control is known for this architecture"
#endif

	const uint64_t saved;
};

} // namespace kt3test
