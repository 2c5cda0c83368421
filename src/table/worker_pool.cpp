#include "table/worker_pool.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace table {
namespace {

using Clock = std::chrono::steady_clock;

// Rounded up, so that a poll that times out ends at the deadline, not just before it.
int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// False when the worker has gone or the deadline passed before it took the whole line.
bool sendAll(int fd, const std::string& bytes, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        pollfd ready{fd, POLLOUT, 0};
        const int polled = poll(&ready, 1, millisecondsLeft(deadline));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return false;
        }
        const ssize_t wrote = write(fd, bytes.data() + sent, bytes.size() - sent);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(wrote);
    }
    return true;
}

} // namespace

WorkerPool::WorkerPool(std::filesystem::path simulator, int workers,
                       std::chrono::milliseconds timeLimit)
    : simulator_(std::move(simulator)), timeLimit_(timeLimit) {
    for (int i = 0; i < workers; ++i) {
        idle_.push_back(start());
    }
}

WorkerPool::~WorkerPool() {
    for (Worker& worker : idle_) {
        stop(worker);
    }
}

WorkerPool::Worker WorkerPool::start() const {
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("cannot start a simulator: ") + std::strerror(errno));
    }
    if (pipe2(out, O_CLOEXEC) != 0) {
        const int error = errno;
        close(in[0]);
        close(in[1]);
        throw std::runtime_error(std::string("cannot start a simulator: ") + std::strerror(error));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    // Nothing of the server's, its sockets least of all, stays open in a worker.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    // The server ignores SIGPIPE; a worker whose server has gone should not.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const std::string program = simulator_.string();
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--serve"), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(in[0]);
    close(out[1]);
    if (spawned != 0) {
        close(in[1]);
        close(out[0]);
        throw std::runtime_error("cannot start the simulator " + program + ": " +
                                 std::strerror(spawned));
    }
    return Worker{pid, in[1], out[0], {}};
}

void WorkerPool::stop(Worker& worker) {
    close(worker.toWorker);
    close(worker.fromWorker);
    kill(worker.pid, SIGKILL);
    while (waitpid(worker.pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    worker.pid = -1;
}

Verdict WorkerPool::verify(const std::string& code) {
    Worker worker;
    {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [this] { return !idle_.empty(); });
        worker = std::move(idle_.back());
        idle_.pop_back();
    }
    Verdict verdict;
    try {
        // One that died while idle is replaced before it is given the code.
        if (worker.pid >= 0 && waitpid(worker.pid, nullptr, WNOHANG) != 0) {
            close(worker.toWorker);
            close(worker.fromWorker);
            worker.pid = -1;
        }
        if (worker.pid < 0) {
            worker = start();
        }
        verdict = ask(worker, code);
    } catch (const std::runtime_error& error) {
        verdict.reason = "the game cannot be verified now";
    }
    {
        std::lock_guard lock(mutex_);
        idle_.push_back(std::move(worker));
    }
    freed_.notify_one();
    return verdict;
}

Verdict WorkerPool::ask(Worker& worker, const std::string& code) const {
    const Clock::time_point deadline = Clock::now() + timeLimit_;
    Verdict verdict;
    std::string answer;
    bool answered = false;
    bool late = false;
    if (!sendAll(worker.toWorker, code + '\n', deadline)) {
        late = Clock::now() >= deadline;
    } else {
        char buffer[512];
        while (!answered) {
            const std::size_t end = worker.pending.find('\n');
            if (end != std::string::npos) {
                answer = worker.pending.substr(0, end);
                worker.pending.erase(0, end + 1);
                answered = true;
                break;
            }
            pollfd ready{worker.fromWorker, POLLIN, 0};
            const int polled = poll(&ready, 1, millisecondsLeft(deadline));
            if (polled < 0 && errno == EINTR) {
                continue;
            }
            if (polled <= 0) {
                late = polled == 0;
                break;
            }
            const ssize_t got = read(worker.fromWorker, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            worker.pending.append(buffer, static_cast<std::size_t>(got));
        }
    }
    if (!answered) {
        // For the operator: which worker, and whether it was slow or gone.
        std::fprintf(stderr, "kestrilon-table: simulator %d %s; replaced\n", worker.pid,
                     late ? "passed the time limit" : "stopped answering");
        stop(worker);
        verdict.reason =
            late ? "the game took too long to verify" : "the game could not be verified";
        return verdict;
    }
    constexpr std::string_view kRefused = "refused ";
    if (answer.starts_with(kRefused)) {
        verdict.reason = answer.substr(kRefused.size());
        return verdict;
    }
    unsigned long long ms = 0;
    long long score = 0;
    long long stage = 0;
    long long lives = 0;
    if (std::sscanf(answer.c_str(), "end %llu %lld %lld %lld", &ms, &score, &stage, &lives) != 4) {
        stop(worker);
        verdict.reason = "the game could not be verified";
        return verdict;
    }
    verdict.played = true;
    verdict.score = score;
    verdict.stage = stage;
    return verdict;
}

} // namespace table
