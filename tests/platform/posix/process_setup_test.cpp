#include "platform/posix/termination_signals.h"
#include "platform/process_setup.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Opened for reading (0) or writing (1, 2), as the stream on it will use it.
bool leadsToDevNull(int fd) {
    struct stat devNull {};
    struct stat opened {};
    const int mode = fd == STDIN_FILENO ? O_RDONLY : O_WRONLY;
    return stat("/dev/null", &devNull) == 0 && fstat(fd, &opened) == 0 &&
           opened.st_rdev == devNull.st_rdev && S_ISCHR(opened.st_mode) &&
           (fcntl(fd, F_GETFL) & O_ACCMODE) == mode;
}

// Each case runs in a child process of its own, whose descriptors and signals it may spoil.
TEST(ProcessSetup, ClosedStandardDescriptorsLeadToDevNullAndABrokenPipeIsAWriteError) {
    EXPECT_EXIT(
        {
            close(STDIN_FILENO);
            close(STDERR_FILENO);
            const platform::ClosedStandardStreams closed = platform::prepareProcess();
            if (!closed.input || closed.output || !closed.error) {
                _exit(1);
            }
            if (!leadsToDevNull(STDIN_FILENO) || !leadsToDevNull(STDERR_FILENO)) {
                _exit(2);
            }
            const platform::ClosedStandardStreams again = platform::prepareProcess();
            if (again.input || again.output || again.error) {
                _exit(3);
            }
            int ends[2];
            if (pipe(ends) != 0 || close(ends[0]) != 0) {
                _exit(4);
            }
            _exit(write(ends[1], "x", 1) == -1 && errno == EPIPE ? 0 : 5);
        },
        ::testing::ExitedWithCode(0), "");

    EXPECT_EXIT(
        {
            close(STDOUT_FILENO);
            const platform::ClosedStandardStreams closed = platform::prepareProcess();
            _exit(closed.output && !closed.input && !closed.error && leadsToDevNull(STDOUT_FILENO)
                      ? 0
                      : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The process ends itself with 128 + N (death by the default action would look the same to a
// shell, not to waitpid); SIGHUP ignored from the start stays ignored, and SIGTERM ends it.
TEST(TerminationSignals, EndTheProcessWithItsOwnExitCodeAndAnIgnoredOneStaysIgnored) {
    const std::pair<int, bool> cases[] = {
        {SIGINT, false}, {SIGTERM, false}, {SIGHUP, false}, {SIGHUP, true}};
    for (const auto& [signal, ignored] : cases) {
        EXPECT_EXIT(
            {
                std::signal(SIGHUP, ignored ? SIG_IGN : SIG_DFL);
                platform::endOnTerminationSignals();
                kill(getpid(), signal);
                kill(getpid(), SIGTERM);
                for (;;) {
                    pause();
                }
            },
            ::testing::ExitedWithCode(128 + (ignored ? SIGTERM : signal)), "")
            << signal << (ignored ? " ignored" : "");
    }
}

} // namespace
