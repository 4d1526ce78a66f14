// An 8-bit RGBA colour, not premultiplied.
#pragma once

#include <cstdint>

namespace VSTGUI {

struct CColor
{
	uint8_t red {0};
	uint8_t green {0};
	uint8_t blue {0};
	uint8_t alpha {255};

	bool operator== (const CColor& c) const
	{
		return red == c.red && green == c.green && blue == c.blue && alpha == c.alpha;
	}
	bool operator!= (const CColor& c) const { return !(*this == c); }
};

inline constexpr CColor kBlackCColor {0, 0, 0, 255};
inline constexpr CColor kWhiteCColor {255, 255, 255, 255};
inline constexpr CColor kTransparentCColor {255, 255, 255, 0};

} // namespace VSTGUI
