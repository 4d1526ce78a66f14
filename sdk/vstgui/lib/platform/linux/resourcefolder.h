// Where the editor's description and bitmaps live: the bundle's Contents/Resources folder,
// whose files are matched by name without regard to letter case, and how they are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace VSTGUI {

// The folder used by findResource; module-wide, empty until set.
void setResourceFolder (const std::string& folder);
const std::string& getResourceFolder ();

// The folder Resources beside the real path (links resolved) of the binary that holds
// `address`, when it is a folder; empty otherwise. For entries whose files lie beside them.
std::string resourcesBesideBinary (const void* address);

// The full path of the entry in folder whose name equals name ignoring ASCII case (an exact
// match wins); empty when there is none or name contains a path separator.
std::string findFileIgnoringCase (const std::string& folder, const std::string& name);
std::string findResource (const std::string& name);

// The bytes of a regular file (symbolic links followed) of 1 to maxBytes bytes; none for
// anything else (missing, unreadable, empty, too large, a directory, FIFO or device). Never
// blocks on a FIFO and never reads past the size the opened file had.
std::optional<std::vector<uint8_t>> readResourceFile (const std::string& path, size_t maxBytes);

} // namespace VSTGUI
