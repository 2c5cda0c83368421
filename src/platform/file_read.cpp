#include "platform/file_read_system.h"

#include <utility>

namespace platform {

std::optional<std::vector<std::uint8_t>> readFile(const char* gameName, std::size_t maxBytes) {
    auto whole = readRegular(gameName, maxBytes, false);
    if (!whole) {
        return std::nullopt;
    }
    return std::move(whole->bytes);
}

std::optional<FileHead> readFileHead(const char* gameName, std::size_t count) {
    return readRegular(gameName, count, true);
}

} // namespace platform
