// The answers to reads of the table's pages, kept for up to a second: a page is the same for every
// reader until the table changes, and building it (the rows read, the JSON written) is most of a
// read's cost. This server's own changes drop every kept page at once; another server's on the
// same database, or an operator's hide, show within the second. Any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

namespace table {

class PageCache {
  public:
    using Clock = std::chrono::steady_clock;
    using Body = std::shared_ptr<const std::string>;

    // The kept answer for (board, limit, offset), or the one `build` makes now, kept for the next
    // reader. `board`: a day's ("2026-12-08"), or empty for the all-time one.
    Body page(const std::string& board, std::int64_t limit, std::int64_t offset,
              const std::function<std::string()>& build);
    // After a change of the table by this server.
    void forget();

  private:
    struct Kept {
        Body body;
        Clock::time_point made;
    };

    std::mutex mutex_;
    std::map<std::tuple<std::string, std::int64_t, std::int64_t>, Kept> kept_;
    std::uint64_t generation_ = 0;
};

} // namespace table
