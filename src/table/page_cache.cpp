#include "table/page_cache.h"

namespace table {
namespace {

constexpr auto kLifetime = std::chrono::seconds(1);
// Pages a client may ask for are many (any day, any limit, any offset): a bound on what is kept.
constexpr std::size_t kMostPages = 256;

} // namespace

PageCache::Body PageCache::page(const std::string& board, std::int64_t limit, std::int64_t offset,
                                const std::function<std::string()>& build) {
    const auto key = std::tuple(board, limit, offset);
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        const auto found = kept_.find(key);
        if (found != kept_.end() && Clock::now() - found->second.made < kLifetime) {
            return found->second.body;
        }
        generation = generation_;
    }
    // Built outside the lock, so readers of other pages do not wait; a change meanwhile makes it
    // the answer of this read only.
    const Clock::time_point made = Clock::now();
    Body body = std::make_shared<const std::string>(build());
    std::lock_guard lock(mutex_);
    if (generation == generation_) {
        if (kept_.size() >= kMostPages) {
            kept_.clear();
        }
        kept_[key] = {body, made};
    }
    return body;
}

void PageCache::forget() {
    std::lock_guard lock(mutex_);
    kept_.clear();
    ++generation_;
}

} // namespace table
