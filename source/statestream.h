// Little-endian reads and writes of the processor state stream's words, whatever the
// byte order of the machine. Each read and write reports whether the stream moved every byte.
#pragma once

#include "pluginterfaces/base/ibstream.h"
#include <cstring>

namespace Steinberg {
namespace Vst {
namespace Orvix {

inline bool readBytes (IBStream* stream, uint8* bytes, int32 count)
{
	int32 got = 0;
	return stream->read (bytes, count, &got) == kResultOk && got == count;
}

inline bool readUInt32LE (IBStream* stream, uint32& value)
{
	uint8 b[4];
	if (!readBytes (stream, b, 4))
		return false;
	value = uint32 (b[0]) | uint32 (b[1]) << 8 | uint32 (b[2]) << 16 | uint32 (b[3]) << 24;
	return true;
}

inline bool readInt32LE (IBStream* stream, int32& value)
{
	uint32 bits;
	if (!readUInt32LE (stream, bits))
		return false;
	value = static_cast<int32> (bits);
	return true;
}

inline bool readDoubleLE (IBStream* stream, double& value)
{
	uint8 b[8];
	if (!readBytes (stream, b, 8))
		return false;
	uint64 bits = 0;
	for (int i = 7; i >= 0; --i)
		bits = bits << 8 | b[i];
	std::memcpy (&value, &bits, sizeof value);
	return true;
}

inline bool writeBytes (IBStream* stream, uint8* bytes, int32 count)
{
	int32 written = 0;
	return stream->write (bytes, count, &written) == kResultOk && written == count;
}

inline bool writeUInt32LE (IBStream* stream, uint32 value)
{
	uint8 b[4] = {uint8 (value), uint8 (value >> 8), uint8 (value >> 16), uint8 (value >> 24)};
	return writeBytes (stream, b, 4);
}

inline bool writeDoubleLE (IBStream* stream, double value)
{
	uint64 bits;
	std::memcpy (&bits, &value, sizeof bits);
	uint8 b[8];
	for (int i = 0; i < 8; ++i)
		b[i] = uint8 (bits >> (8 * i));
	return writeBytes (stream, b, 8);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
