#include "app/picture_folder.h"

#include "platform/folder_access.h"
#include "platform/program_location.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kPictureCount = 256;

bool holdsGlyphPicture(const fs::path& pictures) {
    for (int code = 0; code < kPictureCount; ++code) {
        char name[8];
        std::snprintf(name, sizeof name, "%03d.bmp", code);
        if (platform::isRegularFile(pictures / name)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string moveToPictureFolder() {
    std::error_code error;
    std::vector<fs::path> candidates;
    // Each folder once: the current folder is often the program's own.
    auto consider = [&candidates](const fs::path& folder) {
        std::error_code differs;
        if (!folder.empty() &&
            std::none_of(candidates.begin(), candidates.end(), [&](const fs::path& earlier) {
                return earlier == folder || fs::equivalent(earlier, folder, differs);
            })) {
            candidates.push_back(folder);
        }
    };
    consider(fs::current_path(error));
    consider(platform::executableFolder());
#ifdef KESTRILON_DATA_DIR
    consider(KESTRILON_DATA_DIR);
#endif

    std::string tried;
    for (const fs::path& folder : candidates) {
        const fs::path pictures = folder / "bmp";
        const std::u8string name = pictures.u8string();
        tried += (tried.empty() ? "" : ", ") + std::string(name.begin(), name.end());
        // A folder the system will not enter is as good as one without pictures.
        if (holdsGlyphPicture(pictures) && platform::enterFolder(folder)) {
            break;
        }
    }
    return tried;
}
