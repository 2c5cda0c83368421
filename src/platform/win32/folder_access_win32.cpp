#include "platform/folder_access.h"

#include <windows.h>

#include <string>
#include <system_error>

namespace platform {
namespace {

// The wide form of `path` that the system takes at any length: a full path too long for the
// classic calls (a folder also needs room for its closing backslash) gets the "\\?\" prefix,
// which lifts the limit to 32767 characters.
std::wstring anyLength(const std::filesystem::path& path) {
    std::error_code error;
    std::wstring full = std::filesystem::absolute(path, error).wstring();
    if (error || full.size() + 2 <= MAX_PATH || full.starts_with(L"\\\\?\\")) {
        return error ? path.wstring() : full;
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2); // \\server\share\...
    }
    return L"\\\\?\\" + full;
}

} // namespace

bool isRegularFile(const std::filesystem::path& file) {
    const DWORD attributes = GetFileAttributesW(anyLength(file).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool enterFolder(const std::filesystem::path& folder) {
    return SetCurrentDirectoryW(anyLength(folder).c_str()) != 0;
}

} // namespace platform
