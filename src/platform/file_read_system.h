// The one part of reading a file that each system does its own way (file_read_posix.cpp,
// file_read_win32.cpp); file_read.cpp builds the public calls on it.
#pragma once

#include "platform/file_read.h"

namespace platform {

// Reads at most `limit` bytes of a regular file; a file longer than that is refused unless
// `truncate`.
std::optional<FileHead> readRegular(const char* gameName, std::size_t limit, bool truncate);

} // namespace platform
