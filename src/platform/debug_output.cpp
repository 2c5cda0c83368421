#include "platform/debug_output.h"

#include <cstdio>

namespace platform {

void debugOutput(std::string_view bytes) {
    // One fwrite holds the stream's lock, so lines from two threads do not interleave.
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

} // namespace platform
