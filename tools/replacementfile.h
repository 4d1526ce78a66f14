// A file that replaces its target whole or not at all: it is written as a temporary file in the
// target's folder (with the target's permissions, or the umask's for a new file), synced and
// closed, then renamed over the target. Destroyed before commit (), it removes the temporary
// file and leaves the target as it was. A link as the target stays a link: the file it points
// to is replaced. A target that is not a regular file (a folder, a device) is refused.
// Several files committed as one go through a ReplacementSet.
#pragma once

#include <string>

class ReplacementFile
{
	friend class ReplacementSet;

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
	// How swapIn () put the file in place, and so whether undo () can take it back.
	enum class Placed
	{
		no,
		exchanged, // with the previous file, which the temporary path now holds
		created,   // where there was no file
		replaced,  // over the previous file, which is gone (a file system without exchange)
	};

	void discard ();
	// Puts the closed temporary file in place of the target.
	bool swapIn (std::string& error);
	// Puts the previous file back (or removes a created one); false when it cannot.
	bool undo ();
	// Removes the previous file kept by swapIn (): the commit is final.
	void settle ();

	std::string targetPath, tempPath;
	int fd = -1;
	bool closed = false;
	Placed placed = Placed::no;
};
