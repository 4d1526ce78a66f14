// Build tool: kt3-render's man page from the page CMake configured (version, install folders),
// with its line @KT3_RENDER_PARAMETERS@ replaced by the parameter lines of kt3-render's help,
// escaped for roff. Usage: kt3-write-man-page CONFIGURED_PAGE PAGE
#include "renderhelp.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// A line of text as roff prints it: backslashes and hyphens as typed, never read as a request.
std::string roffLine (const std::string& text)
{
	std::string out = !text.empty () && (text[0] == '.' || text[0] == '\'') ? "\\&" : "";
	for (char c : text)
		out += c == '\\' ? "\\e" : c == '-' ? "\\-" : std::string (1, c);
	return out;
}

} // namespace

int main (int argc, char** argv)
{
	if (argc != 3)
	{
		std::fprintf (stderr, "usage: kt3-write-man-page CONFIGURED_PAGE PAGE\n");
		return 2;
	}
	std::ifstream in (argv[1], std::ios::binary);
	std::ostringstream page;
	bool placed = false;
	for (std::string line; std::getline (in, line);)
	{
		if (line != "@KT3_RENDER_PARAMETERS@")
		{
			page << line << "\n";
			continue;
		}
		for (const std::string& parameter : parameterLines ())
			page << roffLine (parameter) << "\n";
		placed = true;
	}
	if (!in.eof () || !placed)
	{
		std::fprintf (stderr, "kt3-write-man-page: %s: %s\n", argv[1],
		              in.eof () ? "no line @KT3_RENDER_PARAMETERS@" : "cannot read it");
		return 1;
	}
	std::ofstream out (argv[2], std::ios::binary | std::ios::trunc);
	out << page.str ();
	out.close ();
	if (!out)
	{
		std::fprintf (stderr, "kt3-write-man-page: cannot write %s\n", argv[2]);
		return 1;
	}
	return 0;
}
