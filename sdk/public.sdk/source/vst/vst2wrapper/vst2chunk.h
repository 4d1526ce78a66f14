// The state chunk a VST 2 host stores: the component state's size and the controller
// state's size as little-endian int64, then the component bytes, then the controller bytes.
#pragma once

#include "pluginterfaces/base/ftypes.h"
#include <cstddef>
#include <vector>

namespace Steinberg {
namespace Vst {
namespace Vst2Chunk {

using Bytes = std::vector<uint8>;

constexpr size_t kHeaderSize = 16;

Bytes write (const Bytes& component, const Bytes& controller);

// Splits a chunk into its two parts; false (and the parts untouched) when the chunk is
// shorter than its sizes claim or a size is negative.
bool read (const void* data, size_t size, Bytes& component, Bytes& controller);

} // namespace Vst2Chunk
} // namespace Vst
} // namespace Steinberg
