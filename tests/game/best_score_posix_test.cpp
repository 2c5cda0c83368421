// The best score where only a POSIX system can put it: the folder the environment names, and
// saves each in a child process of its own, a file-size limit cutting the write short and a
// system without /proc, which the unnamed temporary file needs to get its name.
#include "game/best_score.h"
#include "platform/scratch_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <sched.h>
#include <string>
#include <string_view>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

namespace fs = std::filesystem;

constexpr int kRefused = 77;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The outcome of saveBestScore in a child after `setUp`; -1 when the child did not report one,
// kRefused when the system refused the set-up.
int saveInChild(const std::function<bool()>& setUp, const fs::path& file, std::uint64_t score,
                std::string_view gameCode) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(setUp() ? static_cast<int>(saveBestScore(file, score, gameCode)) : kRefused);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)
               ? WEXITSTATUS(status)
               : -1;
}

bool writeTo(const char* path, const std::string& text) {
    std::ofstream out(path);
    return static_cast<bool>(out << text << std::flush);
}

// A user and mount namespace of the child's own, with an empty file system over /proc.
bool hideProc() {
    const std::string uid = std::to_string(::getuid());
    const std::string gid = std::to_string(::getgid());
    return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && writeTo("/proc/self/setgroups", "deny") &&
           writeTo("/proc/self/uid_map", "0 " + uid + " 1") &&
           writeTo("/proc/self/gid_map", "0 " + gid + " 1") &&
           ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("none", "/proc", "tmpfs", 0, nullptr) == 0;
}

TEST(BestScorePosix, LivesInTheAbsoluteDataFolderTheEnvironmentNames) {
    struct Row {
        const char* dataHome;
        const char* home;
        const char* file; // empty: none
    };
    const Row rows[] = {
        {"/data", "/home/p", "/data/kestrilon/best-score"},
        {"data", "/home/p", "/home/p/.local/share/kestrilon/best-score"},
        {"", "/home/p", "/home/p/.local/share/kestrilon/best-score"},
        {nullptr, "/home/p", "/home/p/.local/share/kestrilon/best-score"},
        {"data", "home/p", ""},
        {nullptr, nullptr, ""},
    };
    const std::string dataHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    for (const Row& row : rows) {
        for (const auto& [name, value] :
             {std::pair{"XDG_DATA_HOME", row.dataHome}, {"HOME", row.home}}) {
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        }
        std::string error;
        EXPECT_EQ(bestScoreFile(error).string(), row.file) << row.dataHome << " " << row.home;
        EXPECT_EQ(error.empty(), *row.file != 0);
    }
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    ::setenv("HOME", home.c_str(), 1);
}

TEST(BestScorePosix, AWriteCutShortByAFileSizeLimitKeepsTheBest) {
    ScratchDir scratch;
    const fs::path file = scratch.write("kestrilon/best-score", {'1', '2', '0', '\n'});
    const int outcome = saveInChild(
        [] {
            const rlimit threeBytes{3, 3};
            return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR &&
                   ::setrlimit(RLIMIT_FSIZE, &threeBytes) == 0;
        },
        file, 4500000, "");
    EXPECT_EQ(outcome, static_cast<int>(SaveOutcome::failed));
    EXPECT_EQ(contents(file), "120\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);
}

TEST(BestScorePosix, WithoutProcTheSaveFallsBackToANamedFileMadeAfresh) {
    ScratchDir scratch;
    const fs::path file = scratch.write("kestrilon/best-score", {'1', '2', '0', '\n'});
    const fs::path mine = scratch.write("mine", {'m', 'i', 'n', 'e', '\n'});
    fs::create_symlink(mine, fs::path(file) += ".tmp");
    const int outcome = saveInChild(hideProc, file, 4500, "K1.x");
    if (outcome == kRefused) {
        GTEST_SKIP() << "no user namespaces here";
    }
    EXPECT_EQ(outcome, static_cast<int>(SaveOutcome::saved));
    EXPECT_EQ(contents(file), "4500\n");
    EXPECT_EQ(readBestGame(file), "K1.x");
    EXPECT_EQ(contents(mine), "mine\n") << "another file of the player's, untouched";
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 2);
}

} // namespace
