#include "audiowriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string systemError ()
{
	return std::strerror (errno);
}

// The file a write to `path` replaces: through a link, the file it points to, so that the
// link stays. Refuses targets that are not regular files (a device, a folder).
bool resolveTarget (const std::string& path, std::string& target, mode_t& mode, std::string& error)
{
	std::error_code failed;
	const fs::file_status status = fs::status (path, failed);
	if (!fs::exists (status))
	{
		target = path;
		const mode_t mask = umask (0);
		umask (mask);
		mode = 0666 & ~mask;
		return true;
	}
	if (!fs::is_regular_file (status))
	{
		error = "cannot write '" + path + "': it exists and is not a regular file";
		return false;
	}
	target = fs::canonical (path, failed).string ();
	struct stat st {};
	if (failed || stat (target.c_str (), &st) != 0)
	{
		error = "cannot write '" + path + "': " + (failed ? failed.message () : systemError ());
		return false;
	}
	mode = st.st_mode & 07777;
	return true;
}

} // namespace

AudioWriter::~AudioWriter ()
{
	discard ();
}

void AudioWriter::discard ()
{
	if (file)
		sf_close (file);
	file = nullptr;
	if (fd >= 0)
		close (fd);
	fd = -1;
	if (!tempPath.empty ())
		unlink (tempPath.c_str ());
	tempPath.clear ();
}

bool AudioWriter::open (const std::string& path, const OutputFormat& outputFormat, int rate, int maxBlock,
                        std::string& error)
{
	format = outputFormat;
	sampleRate = rate;
	mode_t mode = 0;
	if (!resolveTarget (path, targetPath, mode, error))
		return false;
	const fs::path target (targetPath);
	const fs::path folder = target.has_parent_path () ? target.parent_path () : fs::path (".");
	std::string name = (folder / ("." + target.filename ().string () + ".kt3-XXXXXX")).string ();
	fd = mkstemp (name.data ());
	if (fd < 0)
	{
		error = "cannot write '" + path + "': " + systemError ();
		return false;
	}
	tempPath = name;
	if (fchmod (fd, mode) != 0)
	{
		error = "cannot write '" + path + "': " + systemError ();
		return false;
	}
	SF_INFO info {};
	info.samplerate = rate;
	info.channels = 2;
	info.format = format.sndfileFormat;
	file = sf_open_fd (fd, SFM_WRITE, &info, SF_FALSE);
	if (!file)
	{
		error = "cannot write '" + path + "' as " + format.name + ": " + sf_strerror (nullptr);
		return false;
	}
	if (format.clips)
		sf_command (file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
	interleaved.assign (size_t (maxBlock) * 2, 0.0f);
	return true;
}

bool AudioWriter::write (const float* left, const float* right, int frames, std::string& error)
{
	const float* channels[2] = {left, right};
	for (int c = 0; c < 2; ++c)
		for (int i = 0; i < frames; ++i)
		{
			float v = channels[c][i];
			if (format.clips && (v > 1.0f || v < -1.0f))
			{
				v = v > 0.0f ? 1.0f : -1.0f;
				++clippedSamples[c];
			}
			interleaved[size_t (2 * i + c)] = v;
		}
	if (sf_writef_float (file, interleaved.data (), frames) != frames)
	{
		error = "writing '" + targetPath + "' failed: " + sf_strerror (file);
		return false;
	}
	written += frames;
	return true;
}

bool AudioWriter::finish (std::string& error)
{
	const bool closed = sf_close (file) == 0;
	file = nullptr;
	const bool synced = fsync (fd) == 0;
	const int syncError = errno;
	const bool descriptorClosed = close (fd) == 0;
	fd = -1;
	// What a reader will find: the file must open and hold every frame written.
	SF_INFO info {};
	SNDFILE* check = closed && synced && descriptorClosed ? sf_open (tempPath.c_str (), SFM_READ, &info) : nullptr;
	const bool complete = check && info.frames == written && info.channels == 2;
	if (check)
		sf_close (check);
	if (!complete)
	{
		errno = syncError;
		error = "writing '" + targetPath + "' failed" + (synced ? "" : ": " + systemError ());
		return false;
	}
	finished = true;
	return true;
}

bool AudioWriter::commit (std::string& error)
{
	if (!finished || rename (tempPath.c_str (), targetPath.c_str ()) != 0)
	{
		error = "cannot write '" + targetPath + "': " + systemError ();
		return false;
	}
	tempPath.clear ();
	return true;
}
