// A VST 2 host's first look at a module file: dlopen, VSTPluginMain, the editor's size.
#pragma once

#include <string>

namespace kt3test {

// 0 when the module file at `path` gives an effect whose editor is the 281 x 232 panel; else
// 10 (no dlopen), 11 (no effect) or 12 (no editor size). Runs in a child process: a module
// once loaded keeps the path it was loaded by, so each way of loading it needs a process.
int vst2EditorCheckInChild (const std::string& path);

} // namespace kt3test
