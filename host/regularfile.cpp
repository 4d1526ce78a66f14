#include "regularfile.h"
#include "printabletext.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kt3host {

namespace {

std::string sizeText (uint64_t bytes)
{
	if (bytes >= (uint64_t (1) << 30) && bytes % (uint64_t (1) << 30) == 0)
		return std::to_string (bytes >> 30) + " GiB";
	if (bytes >= (uint64_t (1) << 20) && bytes % (uint64_t (1) << 20) == 0)
		return std::to_string (bytes >> 20) + " MiB";
	return std::to_string (bytes) + " bytes";
}

bool refuse (const std::string& path, const std::string& reason, std::string& error)
{
	error = printable (path) + ": " + reason;
	return false;
}

} // namespace

#ifdef _WIN32

bool readRegularFile (const std::string& path, uint64_t maxBytes, Bytes& bytes, std::string& error)
{
	namespace fs = std::filesystem;
	std::error_code failed;
	const fs::path file = fs::u8path (path);
	const fs::file_status status = fs::status (file, failed);
	if (failed)
		return refuse (path, failed.message (), error);
	if (!fs::is_regular_file (status))
		return refuse (path, "not a regular file", error);
	const uintmax_t size = fs::file_size (file, failed);
	if (failed || size > maxBytes)
		return refuse (path, failed ? failed.message () : "larger than " + sizeText (maxBytes), error);
	std::ifstream in (file, std::ios::binary);
	Bytes read (static_cast<size_t> (size));
	if (!in || !in.read (reinterpret_cast<char*> (read.data ()), static_cast<std::streamsize> (size)))
		return refuse (path, "cannot be read", error);
	bytes = std::move (read);
	return true;
}

#else

bool openRegularFile (const std::string& path, uint64_t maxBytes, int& descriptor, std::string& error)
{
	const int fd = open (path.c_str (), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
	if (fd < 0)
		return refuse (path, std::strerror (errno), error);
	struct stat st {};
	const char* reason = fstat (fd, &st) != 0 ? std::strerror (errno) : !S_ISREG (st.st_mode) ? "not a regular file" : nullptr;
	if (!reason && uint64_t (st.st_size) > maxBytes)
	{
		::close (fd);
		return refuse (path, "larger than " + sizeText (maxBytes), error);
	}
	if (reason || fcntl (fd, F_SETFL, fcntl (fd, F_GETFL) & ~O_NONBLOCK) != 0)
	{
		const std::string why = reason ? reason : std::strerror (errno);
		::close (fd);
		return refuse (path, why, error);
	}
	descriptor = fd;
	return true;
}

bool readRegularFile (const std::string& path, uint64_t maxBytes, Bytes& bytes, std::string& error)
{
	int fd = -1;
	if (!openRegularFile (path, maxBytes, fd, error))
		return false;
	// Read up to one byte past the limit: a file that grew since it was opened is refused too.
	Bytes read;
	uint8_t chunk[65536];
	bool failed = false;
	while (read.size () <= maxBytes)
	{
		const ssize_t got = ::read (fd, chunk, sizeof chunk);
		if (got < 0 && errno == EINTR)
			continue;
		if (got <= 0)
		{
			failed = got < 0;
			break;
		}
		read.insert (read.end (), chunk, chunk + got);
	}
	const int readError = errno;
	::close (fd);
	if (failed)
		return refuse (path, std::strerror (readError), error);
	if (read.size () > maxBytes)
		return refuse (path, "larger than " + sizeText (maxBytes), error);
	bytes = std::move (read);
	return true;
}

#endif

} // namespace kt3host
