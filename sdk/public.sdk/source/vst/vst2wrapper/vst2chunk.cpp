#include "vst2chunk.h"

namespace Steinberg {
namespace Vst {
namespace Vst2Chunk {
namespace {

void appendInt64 (Bytes& out, uint64 value)
{
	for (int byte = 0; byte < 8; ++byte)
		out.push_back (static_cast<uint8> (value >> (8 * byte)));
}

int64 readInt64 (const uint8* in)
{
	uint64 value = 0;
	for (int byte = 7; byte >= 0; --byte)
		value = (value << 8) | in[byte];
	return static_cast<int64> (value);
}

} // namespace

Bytes write (const Bytes& component, const Bytes& controller)
{
	Bytes out;
	out.reserve (kHeaderSize + component.size () + controller.size ());
	appendInt64 (out, component.size ());
	appendInt64 (out, controller.size ());
	out.insert (out.end (), component.begin (), component.end ());
	out.insert (out.end (), controller.begin (), controller.end ());
	return out;
}

bool read (const void* data, size_t size, Bytes& component, Bytes& controller)
{
	if (!data || size < kHeaderSize)
		return false;
	const auto* bytes = static_cast<const uint8*> (data);
	const int64 componentSize = readInt64 (bytes);
	const int64 controllerSize = readInt64 (bytes + 8);
	const uint64 room = size - kHeaderSize;
	// Compared one at a time, so that no sum can overflow.
	if (componentSize < 0 || controllerSize < 0 || static_cast<uint64> (componentSize) > room ||
	    static_cast<uint64> (controllerSize) > room - static_cast<uint64> (componentSize))
		return false;
	const uint8* componentBytes = bytes + kHeaderSize;
	const uint8* controllerBytes = componentBytes + componentSize;
	component.assign (componentBytes, controllerBytes);
	controller.assign (controllerBytes, controllerBytes + controllerSize);
	return true;
}

} // namespace Vst2Chunk
} // namespace Vst
} // namespace Steinberg
