// ClapEditQueue: the editor's edits on their way to the audio thread: a ring of fixed size
// with one writer (the main thread, where the editor runs) and one reader (process, or flush),
// neither of which ever waits or allocates. A full ring drops the edit and says so.
#pragma once

#include "clap/id.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ClapEditQueue
{
public:
	enum class Kind : uint8_t
	{
		begin,
		value,
		end
	};
	struct Edit
	{
		Kind kind;
		clap_id id;
		double value; // plain, for Kind::value
	};

	// Writer only.
	bool push (const Edit& edit);
	// Reader only: the oldest edit not yet taken.
	bool pop (Edit& edit);

private:
	static constexpr uint32_t kCapacity = 256;
	std::array<Edit, kCapacity> ring {};
	std::atomic<uint32_t> head {0}; // next to read
	std::atomic<uint32_t> tail {0}; // next to write
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
