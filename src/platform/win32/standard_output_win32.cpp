#include "platform/standard_output.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace platform {

void useBinaryStandardOutput() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace platform
