#include "platform/standard_output.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace platform {

void useBinaryStandardStreams() {
    std::fflush(stdout);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace platform
