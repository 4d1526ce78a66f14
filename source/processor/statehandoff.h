// StateHandoff: carries a restored state (parameter values and bypass) from the thread that
// restores it to the audio thread without locks. Three records rotate: the restoring thread
// fills its own record and swaps it into the middle; the audio thread swaps the middle out
// when it holds something new. Neither side ever waits or allocates once sized.
#pragma once

#include "pluginterfaces/base/ftypes.h"
#include <atomic>
#include <vector>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class StateHandoff
{
public:
	struct Record
	{
		std::vector<double> values;
		bool bypassed = false;
		bool setsBypass = true; // false: the bypass stays as it is
		bool fromController = false; // values the controller set itself, for the host to hear of

		uint64 sequence = 0;
	};

	// Sizes every record for `count` values. Call once, before any hand-off.
	void allocate (size_t count);

	// Restoring thread: the record to fill; it is not seen by the audio thread until publish.
	Record& next () { return records[back]; }
	// Restoring thread: hands the filled record over; a newer one replaces one not yet taken.
	void publish ();
	// Restoring thread: the record published last while the audio thread has not yet applied
	// it, otherwise null.
	const Record* pending () const;

	// Audio thread: when a record was published since the last call, passes it to `apply` and
	// then marks it applied. Returns whether it did.
	template <typename Apply>
	bool take (Apply&& apply)
	{
		if (!(middle.load (std::memory_order_acquire) & kFresh))
			return false;
		front = middle.exchange (front, std::memory_order_acq_rel) & kIndexMask;
		apply (static_cast<const Record&> (records[front]));
		applied.store (records[front].sequence, std::memory_order_release);
		return true;
	}

private:
	static constexpr int kFresh = 4;
	static constexpr int kIndexMask = 3;

	Record records[3];
	Record published;             // restoring thread's copy of what it handed over last
	int back = 0;                 // owned by the restoring thread
	int front = 1;                // owned by the audio thread
	std::atomic<int> middle {2};  // the record in between, with kFresh when not yet taken
	std::atomic<uint64> applied {0};
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
