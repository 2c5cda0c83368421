// The player's files on Linux and other POSIX systems: $XDG_DATA_HOME/kestrilon (only an absolute
// XDG_DATA_HOME counts), else ~/.local/share/kestrilon; replaced by rename(2), which swaps the
// name over to the new file in one step, after fsync(2) has put the new file on the disk. On
// Linux the new file has a name only from then on, for the moment before the rename.
#include "platform/posix/file_descriptor.h"
#include "platform/saved_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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
// nothing beside the old one; -1 where the file system (or the system) cannot.
int createUnnamed(const std::filesystem::path& folder) {
#ifdef O_TMPFILE
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
#else
    return -1;
#endif
}

// Gives the unnamed file the temporary name once it is on the disk, through /proc as linkat
// needs without privileges. A temporary file a save cut short left goes first.
bool nameUnnamed(int fd, const std::filesystem::path& temporary) {
    ::unlink(temporary.c_str());
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

} // namespace

std::filesystem::path savedFileFolder(std::string& error) {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        return std::filesystem::path(data) / "kestrilon";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != 0) {
        return std::filesystem::path(home) / ".local" / "share" / "kestrilon";
    }
    error = "neither XDG_DATA_HOME nor HOME is set";
    return {};
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
    const int unnamed = createUnnamed(folder);
    FileDescriptor file(
        unnamed >= 0 ? unnamed
                     : ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.get() < 0) {
        error = failed("cannot create " + temporary.string());
        return false;
    }
    if (!writeAll(file.get(), contents) || ::fsync(file.get()) != 0 ||
        (unnamed >= 0 && !nameUnnamed(unnamed, temporary)) || !file.close() ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = failed("cannot write " + temporary.string() + " and rename it");
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

bool removeSavedFile(const std::filesystem::path& path, std::string& error) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR) {
        return true;
    }
    error = failed("cannot remove " + path.string());
    return false;
}

} // namespace platform
