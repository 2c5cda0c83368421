#include "platform/folder_access.h"

#include <system_error>

namespace platform {

bool isRegularFile(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error);
}

bool enterFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::current_path(folder, error);
    return !error;
}

} // namespace platform
