// A file that replaces its target whole or not at all: it is written as a temporary file in the
// target's folder (with the target's permissions, or the umask's for a new file), synced and
// closed, then renamed over the target. Destroyed before commit (), it removes the temporary
// file and leaves the target as it was. A link as the target stays a link: the file it points
// to is replaced. A target that is not a regular file (a folder, a device) is refused.
#pragma once

#include <string>

class ReplacementFile
{
public:
	ReplacementFile () = default;
	~ReplacementFile ();
	ReplacementFile (const ReplacementFile&) = delete;
	ReplacementFile& operator= (const ReplacementFile&) = delete;

	// Creates the temporary file for `path`; its descriptor is then `descriptor ()`.
	bool create (const std::string& path, std::string& error);
	// Syncs and closes the temporary file; false if either fails.
	bool close (std::string& error);
	// Renames the closed temporary file over the target.
	bool commit (std::string& error);
	// Writes `size` bytes to the temporary file.
	bool write (const void* data, size_t size, std::string& error);

	int descriptor () const { return fd; }
	const std::string& temporaryPath () const { return tempPath; }
	const std::string& target () const { return targetPath; }

private:
	void discard ();

	std::string targetPath, tempPath;
	int fd = -1;
	bool closed = false;
};
