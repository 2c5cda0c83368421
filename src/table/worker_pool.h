// The simulators that verify submitted games: worker processes running `kestrilon-sim --serve`,
// so that no code, however crafted, runs the game inside the server. A worker that dies or passes
// the time limit on a code is killed and replaced, and that code refused.
//
// verify() may be called from any number of threads: each call waits for a free worker.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace table {

struct Verdict {
    bool played = false;
    // When played: what the simulation ended with.
    std::int64_t score = 0;
    std::int64_t stage = 0;
    // When not: why, for the player.
    std::string reason;
};

class WorkerPool {
  public:
    // Starts `workers` simulators; throws std::runtime_error when the simulator cannot start.
    WorkerPool(std::filesystem::path simulator, int workers, std::chrono::milliseconds timeLimit);
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;
    ~WorkerPool();

    // `code` is one line: the caller has refused line breaks.
    Verdict verify(const std::string& code);

  private:
    struct Worker {
        int pid = -1;
        int toWorker = -1;
        int fromWorker = -1;
        std::string pending; // bytes read past the last answer
    };

    Worker start() const;
    static void stop(Worker& worker);
    Verdict ask(Worker& worker, const std::string& code) const;

    const std::filesystem::path simulator_;
    const std::chrono::milliseconds timeLimit_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<Worker> idle_;
};

} // namespace table
