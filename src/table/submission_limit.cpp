#include "table/submission_limit.h"

#include <algorithm>
#include <cmath>

namespace table {

int SubmissionLimit::secondsToWait(const std::string& address, Clock::time_point now) {
    if (perMinute_ <= 0) {
        return 0;
    }
    const double capacity = perMinute_;
    const double perSecond = capacity / 60.0;
    const auto refilled = [&](const Bucket& bucket) {
        const double seconds = std::chrono::duration<double>(now - bucket.filled).count();
        return std::min(capacity, bucket.tokens + seconds * perSecond);
    };
    std::lock_guard lock(mutex_);
    // A full bucket is the same as none: forget those once a minute, so that addresses seen once
    // do not pile up.
    if (now - lastSweep_ >= std::chrono::minutes(1)) {
        std::erase_if(buckets_,
                      [&](const auto& pair) { return refilled(pair.second) >= capacity; });
        lastSweep_ = now;
    }
    auto [at, added] = buckets_.try_emplace(address, Bucket{capacity, now});
    Bucket& bucket = at->second;
    bucket.tokens = refilled(bucket);
    bucket.filled = now;
    if (bucket.tokens >= 1.0) {
        bucket.tokens -= 1.0;
        return 0;
    }
    return std::max(1, static_cast<int>(std::ceil((1.0 - bucket.tokens) / perSecond)));
}

} // namespace table
