#include "platform/program_location.h"

#include <windows.h>

#include <vector>

namespace platform {

std::filesystem::path executableFolder() {
    // The name is cut short, without an error, when the buffer is too small: grow until it fits.
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            return std::filesystem::path(std::wstring(name.data(), length)).parent_path();
        }
        if (name.size() >= 32768) {
            return {};
        }
        name.resize(name.size() * 2);
    }
}

} // namespace platform
