// Saves that only a POSIX system can upset, each in a child process: a file-size limit cuts the
// write short, a pipe in the file's place cannot be read, and without /proc the unnamed temporary
// file cannot be named.
#include "game/best_score.h"
#include "platform/scratch_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

bool writeTo(const char* path, const std::string& text) {
    return static_cast<bool>(std::ofstream(path) << text << std::flush);
}

TEST(BestScorePosix, AWriteCutShortOrAPipeKeepsTheBestAndNoProcIsNeeded) {
    struct Row {
        const char* what;
        bool (*setUp)(const char* file); // false: refused here, the row is skipped
        SaveOutcome outcome;
        const char* kept; // null: the pipe
    };
    const Row rows[] = {
        {"a file-size limit of 3 bytes",
         [](const char*) {
             const rlimit tiny{3, 3};
             return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &tiny) == 0;
         },
         SaveOutcome::failed, "120\n"},
        {"a pipe", [](const char* file) { return unlink(file) == 0 && mkfifo(file, 0600) == 0; },
         SaveOutcome::failed, nullptr},
        {"an empty file system over /proc",
         [](const char*) {
             const std::string id = std::to_string(getuid());
             return unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
                    writeTo("/proc/self/setgroups", "deny") &&
                    writeTo("/proc/self/uid_map", "0 " + id + " 1") &&
                    mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                    mount("none", "/proc", "tmpfs", 0, nullptr) == 0;
         },
         SaveOutcome::saved, "4500000\n"},
    };
    for (const Row& row : rows) {
        ScratchDir scratch;
        const std::string file = scratch.write("best-score", {'1', '2', '0', '\n'});
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            _exit(row.setUp(file.c_str()) ? static_cast<int>(saveBestScore(file, 4500000, ""))
                                          : 77);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (WEXITSTATUS(status) != 77) {
            EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(row.outcome)) << row.what;
            EXPECT_EQ(std::filesystem::is_fifo(file), !row.kept) << row.what;
            if (row.kept) {
                std::ifstream in(file);
                EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), row.kept)
                    << row.what;
            }
            EXPECT_FALSE(std::filesystem::exists(file + ".tmp")) << row.what;
        }
    }
}

} // namespace
