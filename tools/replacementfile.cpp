#include "replacementfile.h"

#include <fcntl.h>
#include <stdio.h>
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
	if (!swapIn (error))
		return false;
	settle ();
	return true;
}

bool ReplacementFile::swapIn (std::string& error)
{
	const char* from = tempPath.c_str ();
	const char* to = targetPath.c_str ();
	errno = EBADF;
	if (closed && renameat2 (AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE) == 0)
		placed = Placed::exchanged;
	else if (closed && errno == ENOENT && access (from, F_OK) == 0)
	{
		if (renameat2 (AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0 ||
		    ((errno == EINVAL || errno == ENOSYS) && rename (from, to) == 0))
			placed = Placed::created;
	}
	else if (closed && (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) && rename (from, to) == 0)
		placed = Placed::replaced;
	if (placed == Placed::no)
	{
		error = "cannot write '" + targetPath + "': " + systemError ();
		return false;
	}
	return true;
}

bool ReplacementFile::undo ()
{
	const Placed was = placed;
	placed = Placed::no;
	if (was == Placed::exchanged)
		return renameat2 (AT_FDCWD, tempPath.c_str (), AT_FDCWD, targetPath.c_str (), RENAME_EXCHANGE) == 0;
	if (was == Placed::created)
	{
		// The file goes back to its temporary name, which the destructor removes.
		return rename (targetPath.c_str (), tempPath.c_str ()) == 0;
	}
	return was == Placed::no;
}

void ReplacementFile::settle ()
{
	if (placed == Placed::exchanged)
		unlink (tempPath.c_str ());
	tempPath.clear ();
}
