// Where the editor's description and bitmaps live: the bundle's Contents/Resources folder,
// whose files are matched by name without regard to letter case.
#pragma once

#include <string>

namespace VSTGUI {

// <bundle>/Contents/<arch>-linux/<module>.so gives <bundle>/Contents/Resources (bundle path
// resolved with realpath when it exists).
std::string resourceFolderFromModulePath (const std::string& modulePath);

// The folder used by findResource; module-wide, empty until set.
void setResourceFolder (const std::string& folder);
const std::string& getResourceFolder ();

// The full path of the entry in folder whose name equals name ignoring ASCII case (an exact
// match wins); empty when there is none or name contains a path separator.
std::string findFileIgnoringCase (const std::string& folder, const std::string& name);
std::string findResource (const std::string& name);

} // namespace VSTGUI
