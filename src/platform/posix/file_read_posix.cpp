#include "platform/file_read_system.h"
#include "platform/player_file.h"
#include "platform/posix/file_descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

std::optional<FileHead> readRegularAt(const char* path, std::size_t limit, bool truncate) {
    // O_NONBLOCK so that a named pipe given as a picture cannot stall the open.
    const FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > limit && !truncate) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(size < limit ? static_cast<std::size_t>(size) : limit);
    } catch (const std::bad_alloc&) {
        return std::nullopt; // no memory to read it into: not read
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break; // the file shrank since fstat; keep what is there
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return FileHead{std::move(bytes), size};
}

} // namespace

std::optional<FileHead> readRegular(const char* gameName, std::size_t limit, bool truncate) {
    if (gameName == nullptr) {
        return std::nullopt;
    }
    return readRegularAt(hostPath(gameName).c_str(), limit, truncate);
}

std::optional<FileHead> readPlayerFileHead(const std::string& name, std::size_t count) {
    return readRegularAt(name.c_str(), count, true);
}

std::filesystem::path playerPath(const std::string& name) {
    return name;
}

std::string hostPath(const char* gameName) {
    std::string path(gameName);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

} // namespace platform
