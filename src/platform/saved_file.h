// Files the game keeps for the player between runs (the best score): where they live, reading
// one, replacing one so that a crash or a power cut at any moment leaves the old file or the new
// one, whole, and one writer at a time across every copy of the game.
//
// Implemented by posix/saved_file_posix.cpp ($XDG_DATA_HOME/kestrilon, else
// ~/.local/share/kestrilon), win32/saved_file_win32.cpp (%APPDATA%\Kestrilon) and
// web/saved_file_web.cpp (the browser's local storage). Any thread, but
// these wait for the disk: never call them on the window thread or within a frame. The game's
// own files are small; nothing is cached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The folder, which may not exist yet; empty, with `error` saying why, when the environment names
// no place for it.
std::filesystem::path savedFileFolder(std::string& error);

// At most `limit` bytes from the start of the file. std::nullopt with `error` empty when there is
// no file there; with `error` set when there is one that cannot be read, or is not a regular
// file (a folder, a pipe, a device).
std::optional<std::string> readSavedFile(const std::filesystem::path& path, std::size_t limit,
                                         std::string& error);

// Writes `contents` to "<path>.tmp" beside the file (making the folder when missing; whatever was
// at the temporary name is removed first as removeSavedFileTemporary does, never written
// through), has it reach the disk, and renames it over the file. False, with `error` saying what
// failed, when the file could not be replaced; the temporary file is gone then. A save cut short by
// a crash may leave the temporary file, which the next save replaces.
bool replaceSavedFile(const std::filesystem::path& path, std::string_view contents,
                      std::string& error);

// Removes the file; true when it is gone or was never there (its folder missing, or a file in the
// folder's place). False, with `error` saying why, when something there cannot be removed.
bool removeSavedFile(const std::filesystem::path& path, std::string& error);

// Removes whatever stands at the temporary name beside `path`: a file a save cut short left, or
// anything else in the way, a folder and all it holds included, since the name is the game's own.
// True when nothing is left there; false, with `error` naming what could not be removed and why.
bool removeSavedFileTemporary(const std::filesystem::path& path, std::string& error);

// Held from construction to destruction, it keeps every other copy of the game from writing in
// `folder` (made when missing), waiting meanwhile for one that holds it. Where no lock can be had
// (the folder cannot be made, a file system without locks) it holds none and writes go on as
// they would alone. In a page, which has one copy of the game, it does nothing.
class SavedFilesLock {
  public:
    explicit SavedFilesLock(const std::filesystem::path& folder);
    ~SavedFilesLock();
    SavedFilesLock(const SavedFilesLock&) = delete;
    SavedFilesLock& operator=(const SavedFilesLock&) = delete;

  private:
    // The system's handle of the lock, -1 for none; the page's build has no use for it.
    [[maybe_unused]] std::intptr_t handle_ = -1;
};

} // namespace platform
