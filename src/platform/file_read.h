// Reading a picture file by the game's name.
//
// The game names its files with a backslash ("bmp\065.bmp"); here it becomes the platform's
// separator. Only regular files are read: a missing file, a directory, a device or a pipe is
// "not read" (std::nullopt), as is a read error or a lack of memory to read into. Any thread;
// nothing is cached. A file the player names is read by player_file.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// "bmp\065.bmp" → "bmp/065.bmp" where the separator is a slash; unchanged on Windows.
std::string hostPath(const char* gameName);

// The whole file; not read when it is longer than maxBytes.
std::optional<std::vector<std::uint8_t>> readFile(const char* gameName, std::size_t maxBytes);

struct FileHead {
    std::vector<std::uint8_t> bytes;
    std::uint64_t fileLength = 0; // of the whole file when it was opened
};

// The first `count` bytes, fewer when the file is shorter, and the file's length; any file length
// is fine.
std::optional<FileHead> readFileHead(const char* gameName, std::size_t count);

} // namespace platform
