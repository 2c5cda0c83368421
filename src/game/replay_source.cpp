#include "game/replay_source.h"

#include "platform/player_file.h"

std::optional<Replay> replayFromArgument(std::string_view argument, std::string& problem) {
    std::string text(trimmedCode(argument));
    // No text at all names no file either.
    if (!text.empty() && !looksLikeReplayCode(text)) {
        // Room for a byte-order mark and white space around the longest code.
        constexpr std::size_t kRoom = kMaxReplayCode + 1024;
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
        text = trimmedCode({reinterpret_cast<const char*>(head->bytes.data()), head->bytes.size()});
    }
    DecodedReplay decoded = decodeReplay(text);
    if (decoded.fault != ReplayFault::none) {
        problem = faultText(decoded.fault);
        return std::nullopt;
    }
    return std::move(decoded.replay);
}
