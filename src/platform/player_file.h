// Files the player names (`--replay` on the command line, the snapshots of a script).
//
// The name is the player's text, UTF-8, taken as the system's own path: its separators stay what
// they are, unlike the game's own names (file_read.h). On Windows the file is opened by its
// UTF-16 name, so that "C:\Users\Zoë\game.txt" is found whatever the ANSI code page holds. Only
// regular files are read, as there; any thread.
#pragma once

#include "platform/file_read.h"

#include <filesystem>

namespace platform {

// The first `count` bytes, fewer when the file is shorter, and the file's length.
std::optional<FileHead> readPlayerFileHead(const std::string& name, std::size_t count);

// The path the name stands for, to open with the standard library (a file to write); its
// u8string() is the name again.
std::filesystem::path playerPath(const std::string& name);

} // namespace platform
