#include "game/picture_folder.h"

#include "platform/program_location.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

std::string choosePictureFolder() {
    std::error_code error;
    std::vector<fs::path> candidates{fs::current_path(error)};
    if (const fs::path beside = platform::executableFolder(); !beside.empty()) {
        candidates.push_back(beside);
    }
    candidates.emplace_back(KESTRILON_DATA_DIR);

    std::string considered;
    for (const fs::path& folder : candidates) {
        const fs::path pictures = folder / "bmp";
        considered += (considered.empty() ? "" : ", ") + pictures.string();
        if (fs::is_directory(pictures, error)) {
            fs::current_path(folder, error);
            break;
        }
    }
    return considered;
}
