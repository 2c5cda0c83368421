// Start-up under emscripten. In a page there are no standard streams to find closed. Under Node
// (the simulator), Node itself opens any of 0, 1, 2 it was started without on /dev/null before
// the program runs, read and write, where a shell's redirection to /dev/null opens it one way:
// that is how a closed stream is still told (on Linux, from /proc). Writes to a pipe nobody reads
// fail as Node reports them; there is no signal to ignore.
#include "platform/process_setup.h"

#include <emscripten.h>

namespace {

// clang-format off
EM_JS(int, openedByNode, (int fd), {
    if (typeof process !== "object" || typeof require !== "function") {
        return 0;
    }
    try {
        const fs = require("fs");
        const info = /flags:[^0-7]*([0-7]+)/.exec(fs.readFileSync("/proc/self/fdinfo/" + fd, "utf8"));
        const readWrite = info !== null && (parseInt(info[1], 8) & 3) === 2;
        return readWrite && fs.readlinkSync("/proc/self/fd/" + fd) === "/dev/null" ? 1 : 0;
    } catch (e) {
        return 0;
    }
});
// clang-format on

} // namespace

namespace platform {

ClosedStandardStreams prepareProcess() {
    return {openedByNode(0) != 0, openedByNode(1) != 0, openedByNode(2) != 0};
}

} // namespace platform
