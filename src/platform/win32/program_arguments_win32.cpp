#include "platform/program_arguments.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

std::vector<std::string> readProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

std::optional<std::string> environmentVariable(const char* name) {
    // The CRT's getenv gives the value through the ANSI code page.
    const std::wstring wideName = widened(name);
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    for (;;) {
        std::wstring value(size, L'\0');
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
        if (length < size) {
            value.resize(length);
            return utf8(value);
        }
        size = length; // it grew in between
    }
}

} // namespace platform
