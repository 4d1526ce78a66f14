// kt3-render: renders audio files through the plug-in, headless, loading the bundle as a
// DAW does. The program is runRenderTool (rendertool.h).
#include "rendertool.h"

int main (int argc, char** argv)
{
	return runRenderTool (std::vector<std::string> (argv + 1, argv + argc), stdout, stderr);
}
