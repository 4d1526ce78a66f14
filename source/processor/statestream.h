// Little-endian reads and writes of the processor state stream's words, whatever the
// byte order of the machine. Each read and write reports whether the stream moved every byte.
#pragma once

#include "pluginterfaces/base/ibstream.h"
#include <algorithm>
#include <cmath>
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

// The processor's state: a count word (not trusted), `count` values, each limited to 0..1,
// then the bypass word (non-zero: bypassed). False when the stream ends early or a value is
// not a finite number; `values` may then be partly written, `bypassed` is not.
inline bool readProcessorState (IBStream* stream, double* values, uint32 count, bool& bypassed)
{
	uint32 storedCount = 0;
	if (!readUInt32LE (stream, storedCount))
		return false;
	for (uint32 i = 0; i < count; ++i)
	{
		if (!readDoubleLE (stream, values[i]) || !std::isfinite (values[i]))
			return false;
		values[i] = std::clamp (values[i], 0.0, 1.0);
	}
	int32 bypassWord = 0;
	if (!readInt32LE (stream, bypassWord))
		return false;
	bypassed = bypassWord != 0;
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
