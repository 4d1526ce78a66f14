// process() must never touch the heap: every allocation entry point is counted while
// blocks run, through parameter changes, crossfades, bypass, silence and state restores.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"

#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define KT3_COUNTING_ALLOCATOR 0 // the sanitizer owns the allocator
#else
#define KT3_COUNTING_ALLOCATOR 1

namespace {
std::atomic<bool> counting {false};
std::atomic<long> allocations {0};
void note ()
{
	if (counting.load (std::memory_order_relaxed))
		allocations.fetch_add (1, std::memory_order_relaxed);
}
} // namespace

extern "C" {
void* __libc_malloc (size_t);
void* __libc_calloc (size_t, size_t);
void* __libc_realloc (void*, size_t);
void __libc_free (void*);
void* malloc (size_t size)
{
	note ();
	return __libc_malloc (size);
}
void* calloc (size_t count, size_t size)
{
	note ();
	return __libc_calloc (count, size);
}
void* realloc (void* p, size_t size)
{
	note ();
	return __libc_realloc (p, size);
}
void free (void* p)
{
	if (p)
		note ();
	__libc_free (p);
}
}

void* operator new (size_t size)
{
	if (void* p = malloc (size ? size : 1))
		return p;
	throw std::bad_alloc ();
}
void* operator new[] (size_t size)
{
	return operator new (size);
}
void operator delete (void* p) noexcept
{
	free (p);
}
void operator delete[] (void* p) noexcept
{
	free (p);
}
void operator delete (void* p, size_t) noexcept
{
	free (p);
}
void operator delete[] (void* p, size_t) noexcept
{
	free (p);
}
#endif

using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

TEST (Realtime, ProcessNeverAllocatesOrFrees)
{
#if !KT3_COUNTING_ALLOCATOR
	GTEST_SKIP () << "allocation counting needs the plain allocator";
#else
	kt3host::DirectProcessor p ({48000.0, 1024, true});
	kt3host::ProcessBlock block (1024);
	const auto signal = noise (1024, 17);

	// The counter itself must see allocations, or a zero below would prove nothing.
	counting = true;
	delete[] new float[4];
	counting = false;
	ASSERT_EQ (allocations.exchange (0), 2);

	long during = 0;
	for (int b = 0; b < 200; ++b)
	{
		const Steinberg::int32 n = 1 + (b * 97) % 1024;
		block.begin (n);
		if (b % 7 == 0)
			block.changes ().add (kBypassId, (b / 7) % 2 ? 1.0 : 0.0);
		if (b % 5 == 0)
			block.changes ().add (kSizeId, (b % 11) / 10.0);
		block.changes ().add (kMixId, (b % 3) / 2.0);
		const bool silent = b % 40 > 30;
		for (int ch = 0; ch < 2; ++ch)
		{
			if (silent)
				std::fill (block.in (ch), block.in (ch) + n, 0.0f);
			else
				std::memcpy (block.in (ch), signal.data (), n * sizeof (float));
		}
		counting = true;
		block.process (p.processor ());
		counting = false;
		during += allocations.exchange (0);
	}
	EXPECT_EQ (during, 0);
#endif
}
