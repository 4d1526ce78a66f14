// The editor's description and bitmaps on Windows: resources of the module, type "DATA" for
// the description and "PNG" for the bitmaps, found by name without regard to letter case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace VSTGUI {

constexpr const char* kDescriptionResourceType = "DATA";
constexpr const char* kBitmapResourceType = "PNG";

// The module whose resources are read (an HINSTANCE); the module entry sets it at process
// attach. Unset, the resources of the process's executable are read.
void setResourceInstance (void* instance);

// The bytes of the resource of that type and name, if it holds 1 to maxBytes bytes; none when
// there is no such resource or the name is empty or holds a path separator.
std::optional<std::vector<uint8_t>> readModuleResource (const std::string& name, const char* type,
                                                        size_t maxBytes);

} // namespace VSTGUI
