#include "platform/player_message.h"

#include <cstdio>

namespace platform {

void tellPlayer(PlayerMessage kind, std::string_view text) {
    std::FILE* stream = kind == PlayerMessage::answer ? stdout : stderr;
    if (stream == stderr) {
        std::fputs("kestrilon: ", stream);
    }
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace platform
