#include "platform/process_setup.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// Whether `fd` was closed; if so it is opened on /dev/null. Called for 0, 1, 2 in order, so the
// lowest free descriptor open() hands back is `fd` itself.
bool reopenIfClosed(int fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
        return false;
    }
    const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened != fd && opened != -1) {
        dup2(opened, fd);
        close(opened);
    }
    return true;
}

} // namespace

ClosedStandardStreams prepareProcess() {
    ClosedStandardStreams closed;
    closed.input = reopenIfClosed(STDIN_FILENO);
    closed.output = reopenIfClosed(STDOUT_FILENO);
    closed.error = reopenIfClosed(STDERR_FILENO);
    std::signal(SIGPIPE, SIG_IGN);
    return closed;
}

} // namespace platform
