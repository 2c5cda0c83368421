// Whether a standard stream of this process leads anywhere: a GUI program's lead nowhere unless
// the program that started it redirected them.
#pragma once

#include <windows.h>

namespace platform {

inline bool leadsNowhere(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE ||
           GetFileType(handle) == FILE_TYPE_UNKNOWN;
}

} // namespace platform
