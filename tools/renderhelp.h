// kt3-render's --help. Every option the parser takes (renderoptions.cpp) is listed here and
// in the man page (kt3-render.1.in); tests/render_cli_test.cpp checks that the three agree.
#pragma once

#include <string>
#include <vector>

std::string helpText ();

// KT3's parameters as --list-params shows them at the plug-in's defaults, "Title: lowest to
// highest unit (default value)", from the parameter and factory preset tables: Bypass, the
// reverb's, then Preset. The help lists them, and kt3-write-man-page writes them into the man page.
std::vector<std::string> parameterLines ();
