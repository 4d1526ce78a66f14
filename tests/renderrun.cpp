#include "renderrun.h"
#include "rendertool.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace kt3test {

std::string readBytes (const std::string& path)
{
	std::ifstream file (path, std::ios::binary);
	std::ostringstream bytes;
	bytes << file.rdbuf ();
	return bytes.str ();
}

ScratchFolder::ScratchFolder (const std::string& tag)
{
	const auto* test = ::testing::UnitTest::GetInstance ()->current_test_info ();
	path = fs::path (::testing::TempDir ()) / ("kt3-render-" + std::string (test->test_suite_name ()) + "-" +
	                                           test->name () + "-" + tag + "-" + std::to_string (getpid ()));
	fs::remove_all (path);
	fs::create_directories (path);
}

ScratchFolder::~ScratchFolder ()
{
	std::error_code error;
	fs::remove_all (path, error);
}

std::vector<std::string> ScratchFolder::files () const
{
	std::vector<std::string> names;
	for (const auto& entry : fs::directory_iterator (path))
		names.push_back (entry.path ().filename ().string ());
	std::sort (names.begin (), names.end ());
	return names;
}

ToolRun runTool (const std::vector<std::string>& arguments, const ProcessLimits& limits)
{
	const ScratchFolder scratch ("run");
	const std::string outPath = scratch / "stdout", errPath = scratch / "stderr";
	const std::string program = KT3_RENDER_PATH;
	const pid_t pid = fork ();
	if (pid == 0)
	{
		const int out = open (outPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		const int err = open (errPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		if (out < 0 || err < 0 || dup2 (out, 1) < 0 || dup2 (err, 2) < 0)
			_exit (126);
#if defined(KT3_UNDER_SANITIZER)
		// The sanitizers reserve far more address space than any limit a test sets: the run is
		// checked for what it does, not for its memory.
		const rlim_t addressSpace = RLIM_INFINITY;
#else
		const rlim_t addressSpace = limits.addressSpace;
#endif
		const rlimit as {addressSpace, addressSpace}, fsize {limits.fileSize, limits.fileSize};
		if (setrlimit (RLIMIT_AS, &as) != 0 || setrlimit (RLIMIT_FSIZE, &fsize) != 0)
			_exit (126);
		std::signal (SIGXFSZ, SIG_IGN); // a write beyond the limit fails with EFBIG, as on a full disk
		std::vector<char*> argv {const_cast<char*> (program.c_str ())};
		for (const auto& a : arguments)
			argv.push_back (const_cast<char*> (a.c_str ()));
		argv.push_back (nullptr);
		execv (program.c_str (), argv.data ());
		_exit (127);
	}
	ToolRun result;
	int status = 0;
	rusage usage {};
	if (pid > 0 && wait4 (pid, &status, 0, &usage) == pid && WIFEXITED (status))
		result.status = WEXITSTATUS (status);
	result.maxResidentKb = usage.ru_maxrss;
	result.out = readBytes (outPath);
	result.err = readBytes (errPath);
	return result;
}

ToolRun runToolInProcess (const std::vector<std::string>& arguments)
{
	FILE* out = std::tmpfile ();
	FILE* err = std::tmpfile ();
	ToolRun result;
	result.status = runRenderTool (arguments, out, err);
	for (auto [file, text] : {std::pair {out, &result.out}, std::pair {err, &result.err}})
	{
		std::rewind (file);
		for (int c; (c = std::fgetc (file)) != EOF;)
			*text += char (c);
		std::fclose (file);
	}
	return result;
}

void writeSignal (const std::string& path, int format, int rate, int channels, int64_t frames,
                  const std::function<float (int64_t, int)>& sample)
{
	SF_INFO info {};
	info.samplerate = rate;
	info.channels = channels;
	info.format = format;
	SNDFILE* file = sf_open (path.c_str (), SFM_WRITE, &info);
	ASSERT_NE (file, nullptr) << path << ": " << sf_strerror (nullptr);
	const int64_t block = 8192;
	std::vector<float> buffer (size_t (block * channels));
	for (int64_t at = 0; at < frames; at += block)
	{
		const int64_t n = std::min (block, frames - at);
		for (int64_t i = 0; i < n; ++i)
			for (int c = 0; c < channels; ++c)
				buffer[size_t (i * channels + c)] = sample (at + i, c);
		ASSERT_EQ (sf_writef_float (file, buffer.data (), n), n);
	}
	sf_close (file);
}

float noiseAt (int64_t frame, int channel, float amplitude)
{
	uint32_t x = uint32_t (frame * 2 + channel) * 2654435761u;
	x ^= x >> 15;
	x *= 2246822519u;
	x ^= x >> 13;
	return amplitude * (float (x & 0xFFFFFF) / float (0x800000) - 1.0f);
}

double numberAfter (const std::string& text, const std::string& line, const std::string& label)
{
	std::istringstream lines (text);
	for (std::string l; std::getline (lines, l);)
	{
		const auto start = l.find (line);
		if (start == std::string::npos)
			continue;
		const auto at = l.rfind (label);
		if (at != std::string::npos)
			return std::strtod (l.c_str () + at + label.size (), nullptr);
	}
	return NAN;
}

} // namespace kt3test
