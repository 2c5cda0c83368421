#include "platform/process_setup.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool leadsToDevNull(int fd) {
    struct stat devNull {};
    struct stat opened {};
    return stat("/dev/null", &devNull) == 0 && fstat(fd, &opened) == 0 &&
           opened.st_rdev == devNull.st_rdev && S_ISCHR(opened.st_mode);
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

} // namespace
