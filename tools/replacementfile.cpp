#include "replacementfile.h"

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

// The file a write to `path` replaces, and the permissions the new file gets.
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

ReplacementFile::~ReplacementFile ()
{
	discard ();
}

void ReplacementFile::discard ()
{
	if (fd >= 0)
		::close (fd);
	fd = -1;
	if (!tempPath.empty ())
		unlink (tempPath.c_str ());
	tempPath.clear ();
}

bool ReplacementFile::create (const std::string& path, std::string& error)
{
	discard ();
	closed = false;
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
	return true;
}

bool ReplacementFile::write (const void* data, size_t size, std::string& error)
{
	const auto* bytes = static_cast<const char*> (data);
	while (size > 0)
	{
		const ssize_t done = ::write (fd, bytes, size);
		if (done < 0 && errno == EINTR)
			continue;
		if (done <= 0)
		{
			error = "writing '" + targetPath + "' failed: " + (done < 0 ? systemError () : "nothing written");
			return false;
		}
		bytes += done;
		size -= size_t (done);
	}
	return true;
}

bool ReplacementFile::close (std::string& error)
{
	const bool synced = fsync (fd) == 0;
	const int syncError = errno;
	const bool descriptorClosed = ::close (fd) == 0;
	fd = -1;
	if (!synced || !descriptorClosed)
	{
		errno = synced ? errno : syncError;
		error = "writing '" + targetPath + "' failed: " + systemError ();
		return false;
	}
	closed = true;
	return true;
}

bool ReplacementFile::commit (std::string& error)
{
	if (!closed || rename (tempPath.c_str (), targetPath.c_str ()) != 0)
	{
		error = "cannot write '" + targetPath + "': " + systemError ();
		return false;
	}
	tempPath.clear ();
	return true;
}
