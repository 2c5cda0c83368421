#include "platform/file_read_system.h"
#include "platform/player_file.h"
#include "platform/win32/file_handle.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <new>
#include <utility>

namespace platform {
namespace {

constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

std::optional<FileHead> readOpened(const FileHandle& file, std::size_t limit, bool truncate) {
    BY_HANDLE_FILE_INFORMATION info{};
    // A device or a pipe is not a disk file; a directory cannot be opened without backup rights.
    if (file.get() == INVALID_HANDLE_VALUE || GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
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
        const std::size_t want = bytes.size() - done;
        const DWORD chunk = want > 0x40000000u ? 0x40000000u : static_cast<DWORD>(want);
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            break; // the file shrank since it was measured; keep what is there
        }
        done += got;
    }
    bytes.resize(done);
    return FileHead{std::move(bytes), size};
}

} // namespace

std::optional<FileHead> readRegular(const char* gameName, std::size_t limit, bool truncate) {
    if (gameName == nullptr) {
        return std::nullopt;
    }
    // The game's names are bytes of the system's code page, as CreateFileA takes them.
    const FileHandle file(CreateFileA(hostPath(gameName).c_str(), GENERIC_READ, kShare, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return readOpened(file, limit, truncate);
}

std::optional<FileHead> readPlayerFileHead(const std::string& name, std::size_t count) {
    const FileHandle file(CreateFileW(widened(name).c_str(), GENERIC_READ, kShare, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return readOpened(file, count, true);
}

std::filesystem::path playerPath(const std::string& name) {
    return widened(name);
}

std::string hostPath(const char* gameName) {
    return gameName;
}

} // namespace platform
