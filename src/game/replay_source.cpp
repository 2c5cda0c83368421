#include "game/replay_source.h"

#include "platform/player_file.h"

namespace {

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

} // namespace

std::optional<Replay> replayFromArgument(std::string_view argument, std::string& problem) {
    std::string text(argument);
    if (!looksLikeReplayCode(argument)) {
        // Room for a line end after the longest code.
        constexpr std::size_t kRoom = kMaxReplayCode + 2;
        const std::string name(argument);
        const std::optional<platform::FileHead> head = platform::readPlayerFileHead(name, kRoom);
        if (!head) {
            problem = "cannot read the replay file " + name;
            return std::nullopt;
        }
        if (head->fileLength > kRoom) {
            problem = faultText(ReplayFault::oversized);
            return std::nullopt;
        }
        text = trimmed({reinterpret_cast<const char*>(head->bytes.data()), head->bytes.size()});
    }
    DecodedReplay decoded = decodeReplay(text);
    if (decoded.fault != ReplayFault::none) {
        problem = faultText(decoded.fault);
        return std::nullopt;
    }
    return std::move(decoded.replay);
}
