#include "platform/player_message.h"

#include "platform/win32/standard_handle.h"
#include "platform/win32/wide_text.h"

#include <cstdio>
#include <string>

namespace platform {
namespace {

// Borrows the console of the program that started the game for one write: false when there is
// none (started from Explorer).
bool writeToParentConsole(std::string_view text) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return false;
    }
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    bool written = false;
    if (console != INVALID_HANDLE_VALUE) {
        const std::wstring wide = widened(text);
        DWORD count = 0;
        written = WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &count,
                                nullptr) != 0;
        CloseHandle(console);
    }
    FreeConsole();
    return written;
}

} // namespace

void tellPlayer(PlayerMessage kind, std::string_view text) {
    const bool toOutput = kind == PlayerMessage::answer;
    const std::string line = (toOutput ? "" : "kestrilon: ") + std::string(text);
    if (!leadsNowhere(toOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE)) {
        std::FILE* stream = toOutput ? stdout : stderr;
        std::fwrite(line.data(), 1, line.size(), stream);
        std::fflush(stream);
        return;
    }
    if (kind != PlayerMessage::problem && writeToParentConsole(line)) {
        return;
    }
    MessageBoxW(nullptr, widened(text).c_str(), L"Kestrilon",
                MB_OK | (toOutput ? MB_ICONINFORMATION : MB_ICONWARNING));
}

} // namespace platform
