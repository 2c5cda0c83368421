// The player's files on Linux and other POSIX systems: $XDG_DATA_HOME/kestrilon, else
// ~/.local/share/kestrilon (only absolute folders count, as the XDG base directories say);
// replaced by rename(2), which swaps the name over to the new file in one step, after fsync(2) has
// put the new file on the disk. On Linux the new file has a name only from then on, for the moment
// before the rename. Copies of the game take turns through flock(2) on the folder.
#include "platform/posix/file_descriptor.h"
#include "platform/saved_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

std::string failed(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0 && errno != EINTR) {
            return false;
        }
        bytes.remove_prefix(wrote < 0 ? 0 : static_cast<std::size_t>(wrote));
    }
    return true;
}

// Linux can make the file with no name (O_TMPFILE), so that a crash while it is written leaves
// nothing beside the old one; it is named `temporary` once it is on the disk, through /proc as
// linkat needs without privileges. False where the file system, the system or a missing /proc
// cannot.
bool writeUnnamed(const std::filesystem::path& folder, const std::filesystem::path& temporary,
                  std::string_view contents) {
#ifdef O_TMPFILE
    FileDescriptor file(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644));
    if (file.get() < 0 || !writeAll(file.get(), contents) || ::fsync(file.get()) != 0) {
        return false;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(file.get());
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0 &&
           file.close();
#else
    static_cast<void>(folder);
    static_cast<void>(temporary);
    static_cast<void>(contents);
    return false;
#endif
}

// The file made afresh under its name (whatever an unnamed attempt left there goes first): the
// open makes a new file or fails, so nothing is ever written through the name.
bool writeNamed(const std::filesystem::path& temporary, std::string_view contents) {
    ::unlink(temporary.c_str());
    FileDescriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    return file.get() >= 0 && writeAll(file.get(), contents) && ::fsync(file.get()) == 0 &&
           file.close();
}

} // namespace

std::filesystem::path savedFileFolder(std::string& error) {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        return std::filesystem::path(data) / "kestrilon";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return std::filesystem::path(home) / ".local" / "share" / "kestrilon";
    }
    error = "neither XDG_DATA_HOME nor HOME names an absolute folder";
    return {};
}

SavedFilesLock::SavedFilesLock(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    handle_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (handle_ >= 0 && ::flock(static_cast<int>(handle_), LOCK_EX) != 0 && errno == EINTR) {
    }
}

SavedFilesLock::~SavedFilesLock() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
    }
}

std::optional<std::string> readSavedFile(const std::filesystem::path& path, std::size_t limit,
                                         std::string& error) {
    error.clear();
    // O_NONBLOCK so that a named pipe in the file's place cannot stall the open.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            error = std::strerror(errno);
        }
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return std::nullopt;
    }
    std::string bytes(limit, '\0');
    std::size_t done = 0;
    while (done < limit) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, limit - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = std::strerror(errno);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

bool replaceSavedFile(const std::filesystem::path& path, std::string_view contents,
                      std::string& error) {
    const std::filesystem::path folder = path.parent_path();
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made) {
        error = "cannot make " + folder.string() + ": " + made.message();
        return false;
    }
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    if (!removeSavedFileTemporary(path, error)) {
        return false;
    }
    if (!writeUnnamed(folder, temporary, contents) && !writeNamed(temporary, contents)) {
        error = failed("cannot write " + temporary.string());
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = failed("cannot rename " + temporary.string() + " to " + path.string());
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself is on the disk only once the folder is.
    const FileDescriptor folderFile(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFile.get() >= 0) {
        ::fsync(folderFile.get());
    }
    return true;
}

bool removeSavedFileTemporary(const std::filesystem::path& path, std::string& error) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    std::error_code failure;
    std::filesystem::remove_all(temporary, failure);
    if (failure && failure != std::errc::no_such_file_or_directory &&
        failure != std::errc::not_a_directory) {
        error = "cannot remove " + temporary.string() + ": " + failure.message();
        return false;
    }
    return true;
}

bool removeSavedFile(const std::filesystem::path& path, std::string& error) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR) {
        return true;
    }
    error = failed("cannot remove " + path.string());
    return false;
}

} // namespace platform
