#include "clapeditqueue.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

bool ClapEditQueue::push (const Edit& edit)
{
	const uint32_t write = tail.load (std::memory_order_relaxed);
	if (write - head.load (std::memory_order_acquire) == kCapacity)
		return false;
	ring[write % kCapacity] = edit;
	tail.store (write + 1, std::memory_order_release);
	return true;
}

bool ClapEditQueue::pop (Edit& edit)
{
	const uint32_t read = head.load (std::memory_order_relaxed);
	if (read == tail.load (std::memory_order_acquire))
		return false;
	edit = ring[read % kCapacity];
	head.store (read + 1, std::memory_order_release);
	return true;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
