// The player's files on Windows: %APPDATA%\Kestrilon, the roaming application data; replaced by
// MoveFileExW with MOVEFILE_REPLACE_EXISTING (one step, as rename is on POSIX) and
// MOVEFILE_WRITE_THROUGH (it returns once the move is on the disk), after FlushFileBuffers has put
// the new file there. Names are wide throughout, so a folder outside the code page is found.
// Copies of the game take turns through a named mutex of the session.
#include "platform/saved_file.h"
#include "platform/win32/file_handle.h"

#include <windows.h>

#include <system_error>

namespace platform {
namespace {

std::string failed(const std::string& what) {
    return what + ": Windows error " + std::to_string(GetLastError());
}

std::string shown(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

constexpr int kMoveTries = 20;
constexpr DWORD kMoveRetryMs = 50;

bool writeAll(HANDLE file, std::string_view bytes) {
    DWORD wrote = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) != 0 &&
           wrote == bytes.size();
}

// An indexer, a virus scanner or a sync client may hold the file open for a moment: the move is
// tried again for about a second before it counts as failed.
bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    for (int tries = 1;; ++tries) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD why = GetLastError();
        if (tries == kMoveTries || (why != ERROR_SHARING_VIOLATION && why != ERROR_ACCESS_DENIED)) {
            return false;
        }
        Sleep(kMoveRetryMs);
    }
}

} // namespace

std::filesystem::path savedFileFolder(std::string& error) {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        error = "APPDATA is not set";
        return {};
    }
    return std::filesystem::path(folder) / L"Kestrilon";
}

std::optional<std::string> readSavedFile(const std::filesystem::path& path, std::size_t limit,
                                         std::string& error) {
    error.clear();
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const DWORD why = GetLastError();
        if (why != ERROR_FILE_NOT_FOUND && why != ERROR_PATH_NOT_FOUND) {
            error = "Windows error " + std::to_string(why);
        }
        return std::nullopt;
    }
    // A device or a pipe is not a disk file; a folder cannot be opened without backup rights.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        error = "not a regular file";
        return std::nullopt;
    }
    std::string bytes(limit, '\0');
    std::size_t done = 0;
    while (done < limit) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(limit - done), &got,
                      nullptr)) {
            error = failed("cannot read");
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += got;
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
        error = "cannot make " + shown(folder) + ": " + made.message();
        return false;
    }
    std::filesystem::path temporary = path;
    temporary += L".tmp";
    // Made afresh (whatever a save cut short left, a link included, goes first) and not shared.
    if (!removeSavedFileTemporary(path, error)) {
        return false;
    }
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        error = failed("cannot create " + shown(temporary));
        return false;
    }
    if (!writeAll(file.get(), contents) || !FlushFileBuffers(file.get()) || !file.close() ||
        !moveOver(temporary, path)) {
        error = failed("cannot write " + shown(temporary) + " and move it");
        file.close();
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool removeSavedFileTemporary(const std::filesystem::path& path, std::string& error) {
    std::filesystem::path temporary = path;
    temporary += L".tmp";
    std::error_code failure;
    std::filesystem::remove_all(temporary, failure);
    if (failure && failure != std::errc::no_such_file_or_directory) {
        error = "cannot remove " + shown(temporary) + ": " + failure.message();
        return false;
    }
    return true;
}

bool removeSavedFile(const std::filesystem::path& path, std::string& error) {
    if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
        GetLastError() == ERROR_PATH_NOT_FOUND) {
        return true;
    }
    error = failed("cannot remove " + shown(path));
    return false;
}

SavedFilesLock::SavedFilesLock(const std::filesystem::path&) {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Kestrilon-saved-files");
    if (mutex == nullptr) {
        return;
    }
    // An abandoned mutex (its holder ended mid-save) is held all the same.
    if (WaitForSingleObject(mutex, INFINITE) == WAIT_FAILED) {
        CloseHandle(mutex);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(mutex);
}

SavedFilesLock::~SavedFilesLock() {
    if (handle_ != -1) {
        const auto mutex = reinterpret_cast<HANDLE>(handle_);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

} // namespace platform
