// Running kt3-render in the tests: as a separate process (optionally under resource limits,
// as a user's shell would set them), or in process through runRenderTool; and scratch
// folders and files for it.
#pragma once

#include "audiofile.h"

#include <sys/resource.h>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kt3test {

struct ToolRun
{
	int status = -1; // the exit status; -1 when the program did not exit normally
	std::string out, err;
	long maxResidentKb = 0;
};

struct ProcessLimits
{
	rlim_t addressSpace = RLIM_INFINITY; // RLIMIT_AS
	rlim_t fileSize = RLIM_INFINITY;     // RLIMIT_FSIZE, with SIGXFSZ ignored: a full disk
};

ToolRun runTool (const std::vector<std::string>& arguments, const ProcessLimits& limits = {});
ToolRun runToolInProcess (const std::vector<std::string>& arguments);

// A scratch folder of the test's own, removed with the object.
struct ScratchFolder
{
	std::filesystem::path path;
	explicit ScratchFolder (const std::string& tag = "files");
	~ScratchFolder ();
	ScratchFolder (const ScratchFolder&) = delete;
	ScratchFolder& operator= (const ScratchFolder&) = delete;
	std::string operator/ (const std::string& name) const { return (path / name).string (); }
	// The names of the files in it, sorted.
	std::vector<std::string> files () const;
};

// Writes `frames` frames of `channels` channels in libsndfile's `format`, block by block,
// each sample from `sample (frame, channel)`.
void writeSignal (const std::string& path, int format, int rate, int channels, int64_t frames,
                  const std::function<float (int64_t, int)>& sample);

// Reproducible noise of the given amplitude.
float noiseAt (int64_t frame, int channel, float amplitude);

// The number after the last `label` on the line of `text` that holds `line`; NaN if none.
double numberAfter (const std::string& text, const std::string& line, const std::string& label);

std::string readBytes (const std::string& path);

} // namespace kt3test
