// kt3-render's --help. Every option the parser takes (renderoptions.cpp) is listed here and
// in the man page (kt3-render.1.in); tests/render_cli_test.cpp checks that the three agree.
#pragma once

#include <string>

std::string helpText ();
