#include "platform/process_setup.h"

#include <windows.h>

#include <cstdio>

namespace platform {
namespace {

bool leadsNowhere(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE ||
           GetFileType(handle) == FILE_TYPE_UNKNOWN;
}

} // namespace

ClosedStandardStreams prepareProcess() {
    ClosedStandardStreams closed;
    closed.input = leadsNowhere(STD_INPUT_HANDLE);
    closed.output = leadsNowhere(STD_OUTPUT_HANDLE);
    closed.error = leadsNowhere(STD_ERROR_HANDLE);
    // A GUI program has no console of its own: the console of the program that started it, if
    // any, takes the output that leads nowhere (help, version, usage errors).
    if ((closed.output || closed.error) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE* reopened = nullptr;
        if (closed.output) {
            freopen_s(&reopened, "CONOUT$", "w", stdout);
        }
        if (closed.error) {
            freopen_s(&reopened, "CONOUT$", "w", stderr);
        }
    }
    return closed;
}

} // namespace platform
