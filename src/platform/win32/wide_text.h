// UTF-8, the text of the game and its seam, and UTF-16, the text of the system's wide calls.
// Bytes that are not UTF-8, and lone surrogates, become U+FFFD: a name so spoilt names no file.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

inline std::wstring widened(std::string_view text) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

inline std::string utf8(std::wstring_view text) {
    const int size = static_cast<int>(text.size());
    std::string narrow(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(),
                        static_cast<int>(narrow.size()), nullptr, nullptr);
    return narrow;
}

} // namespace platform
