// Fuzz target: the replay decoder. The first byte chooses what the rest is: even, a code as a
// player would give it (trimmed as every code is); odd, a body framed with a good check, so that
// the decoder's own checks past the frame are reached. A code that decodes is the one its replay
// encodes to; a refused one leaves no replay.
#include "game/replay_code.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string code =
        (data[0] & 1) != 0
            ? frameReplayBody({data + 1, data + size})
            : std::string(trimmedCode({reinterpret_cast<const char*>(data + 1), size - 1}));
    const DecodedReplay decoded = decodeReplay(code);
    const bool sound = decoded.fault == ReplayFault::none ? encodeReplay(decoded.replay) == code
                                                          : decoded.replay == Replay{};
    if (!sound) {
        std::abort();
    }
    return 0;
}
