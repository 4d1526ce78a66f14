#include "resourcefolder.h"

#include <cerrno>
#include <dirent.h>
#include <dlfcn.h>
#include <filesystem>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace VSTGUI {

namespace {

std::string& resourceFolder ()
{
	static std::string folder;
	return folder;
}

} // namespace

void setResourceFolder (const std::string& folder)
{
	resourceFolder () = folder;
}

const std::string& getResourceFolder ()
{
	return resourceFolder ();
}

std::string resourcesBesideBinary (const void* address)
{
	Dl_info info {};
	if (!dladdr (address, &info) || !info.dli_fname)
		return {};
	std::error_code error;
	const std::filesystem::path binary = std::filesystem::canonical (info.dli_fname, error);
	if (error)
		return {};
	const std::filesystem::path resources = binary.parent_path () / "Resources";
	return std::filesystem::is_directory (resources, error) ? resources.string () : std::string ();
}

std::string findFileIgnoringCase (const std::string& folder, const std::string& name)
{
	if (folder.empty () || name.empty () || name.find ('/') != std::string::npos)
		return {};
	DIR* dir = opendir (folder.c_str ());
	if (!dir)
		return {};
	std::string match;
	while (dirent* entry = readdir (dir))
	{
		if (strcasecmp (entry->d_name, name.c_str ()) != 0)
			continue;
		match = entry->d_name;
		if (match == name)
			break;
	}
	closedir (dir);
	return match.empty () ? std::string () : folder + "/" + match;
}

std::string findResource (const std::string& name)
{
	return findFileIgnoringCase (getResourceFolder (), name);
}

std::optional<std::vector<uint8_t>> readResourceFile (const std::string& path, size_t maxBytes)
{
	// Checked before opening, so that a device is not even opened (which may have effects of
	// its own), and again on the opened descriptor, in case the file was swapped in between.
	// Opened non-blocking: opening a FIFO for reading would otherwise wait for a writer.
	auto isReadable = [maxBytes] (const struct stat& st) {
		return S_ISREG (st.st_mode) && st.st_size > 0 && static_cast<uintmax_t> (st.st_size) <= maxBytes;
	};
	struct stat st {};
	if (path.empty () || stat (path.c_str (), &st) != 0 || !isReadable (st))
		return std::nullopt;
	const int fd = open (path.c_str (), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
	if (fd < 0)
		return std::nullopt;
	std::optional<std::vector<uint8_t>> bytes;
	if (fstat (fd, &st) == 0 && isReadable (st))
	{
		// Reads the size the file had when checked: a file that grows meanwhile is cut there,
		// one that shrinks gives what it still holds. A read error gives nothing.
		bytes.emplace (static_cast<size_t> (st.st_size));
		size_t got = 0;
		while (got < bytes->size ())
		{
			const ssize_t n = read (fd, bytes->data () + got, bytes->size () - got);
			if (n < 0 && errno == EINTR)
				continue;
			if (n <= 0)
			{
				if (n < 0)
					got = 0;
				break;
			}
			got += static_cast<size_t> (n);
		}
		bytes->resize (got);
		if (got == 0)
			bytes.reset ();
	}
	close (fd);
	return bytes;
}

} // namespace VSTGUI
