// Files read only when they are regular files (symbolic links followed) no larger than a limit
// the caller sets. A FIFO, a device, a folder or a larger file is refused before any byte is
// read, at once: the file is opened without waiting for a FIFO's writer, and checked through the
// opened descriptor, so it cannot be swapped between the check and the read.
#pragma once

#include "statebytes.h"

#include <cstdint>
#include <string>

namespace kt3host {

// The whole file into `bytes`. False with a one-line reason naming the file.
bool readRegularFile (const std::string& path, uint64_t maxBytes, Bytes& bytes, std::string& error);

#ifndef _WIN32
// Opens the file for reading; `descriptor` is then the caller's to close.
bool openRegularFile (const std::string& path, uint64_t maxBytes, int& descriptor, std::string& error);
#endif

} // namespace kt3host
