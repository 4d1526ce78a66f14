// What views and controllers may look up in a parsed description.
#pragma once

#include "../lib/cbitmap.h"
#include "../lib/ccolor.h"

#include <cstdint>
#include <optional>
#include <string>

namespace VSTGUI {

class UIAttributes;

class IUIDescription
{
public:
	virtual ~IUIDescription () = default;
	// Loaded on first use and kept; null if unknown or unreadable.
	virtual CBitmapPtr getBitmap (const std::string& name) const = 0;
	// A colour name, then "#RRGGBB" or "#RRGGBBAA"; the empty text is transparent.
	virtual std::optional<CColor> getColor (const std::string& text) const = 0;
	// -1 when the name has no control-tag entry.
	virtual int32_t getTagForName (const std::string& name) const = 0;
	// A named attribute set of the custom section; null if absent.
	virtual const UIAttributes* getCustomAttributes (const std::string& name) const = 0;
};

} // namespace VSTGUI
