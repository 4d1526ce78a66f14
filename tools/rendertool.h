// kt3-render's whole program as a function of its arguments: the executable's main () and the
// command-line fuzz target call it. It prints to `out` and `err` and returns the exit status,
// never exiting or aborting on the way.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

constexpr int kExitSuccess = 0;
constexpr int kExitRenderFailed = 1;
constexpr int kExitUsage = 2;

// `arguments` without the program name.
int runRenderTool (const std::vector<std::string>& arguments, FILE* out, FILE* err);
