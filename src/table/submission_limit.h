// How many games one client address may submit: `perMinute` a minute, as a bucket that refills
// evenly, so a burst of `perMinute` passes and then one every 60/perMinute seconds. 0: no limit.
// Any thread.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace table {

class SubmissionLimit {
  public:
    using Clock = std::chrono::steady_clock;

    explicit SubmissionLimit(int perMinute) : perMinute_(perMinute) {}

    // 0 when `address` may submit now (and the submission is counted); else the whole seconds
    // to wait, for Retry-After.
    int secondsToWait(const std::string& address, Clock::time_point now = Clock::now());

  private:
    struct Bucket {
        double tokens = 0;
        Clock::time_point filled;
    };

    const int perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    Clock::time_point lastSweep_;
};

} // namespace table
