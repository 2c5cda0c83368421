// The picture folder's checks and the move into it, for a folder at any depth: a Windows path
// may be longer than the 260 characters (MAX_PATH) the system's classic calls take.
//
// POSIX: folder_access_posix.cpp; Windows: folder_access_win32.cpp. Any thread; the current
// directory is the whole process's.
#pragma once

#include <filesystem>

namespace platform {

// Whether `file` is a regular file; false on any error.
bool isRegularFile(const std::filesystem::path& file);

// Makes `folder` the current directory; false when the system refuses it.
bool enterFolder(const std::filesystem::path& folder);

} // namespace platform
