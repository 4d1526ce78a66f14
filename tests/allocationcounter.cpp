#include "allocationcounter.h"

#include <cstddef>
#include <new>

namespace {

// Plain thread-locals: reading them allocates nothing, even inside the allocator.
thread_local bool counting = false;
thread_local long counted = 0;

void note ()
{
	if (counting)
		++counted;
}

} // namespace

namespace kt3test {

void startCountingAllocations ()
{
	counted = 0;
	counting = true;
}

long stopCountingAllocations ()
{
	counting = false;
	return counted;
}

bool counterSeesThisThread ()
{
	startCountingAllocations ();
	float* volatile block = new float[4]; // volatile: the pair may not be optimised away
	delete[] block;
	return stopCountingAllocations () == 2;
}

} // namespace kt3test

#if defined(__SANITIZE_ADDRESS__)

extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*mallocHook) (const volatile void*, size_t),
                                                          void (*freeHook) (const volatile void*));

namespace {

const bool hooksInstalled = __sanitizer_install_malloc_and_free_hooks (
    [] (const volatile void*, size_t) { note (); }, [] (const volatile void* p) {
	    if (p)
		    note ();
    });

} // namespace

#else

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
