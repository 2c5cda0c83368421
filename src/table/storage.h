// The one interface the table keeps its games behind: SQLite in a file (sqlite/), the default, or
// PostgreSQL shared by many servers (postgres/). Both rank alike: best score first, the earlier
// entry first among equal scores; a hidden entry is in no page and no rank. Besides the all-time
// board, an entry filed under a day is on that day's board too, ranked there the same way.
//
// Every member may be called from any thread at once; each opens what it needs. A failure of the
// engine (a lost connection, a full disk) is a StorageError, which the caller reports.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace table {

struct NewEntry {
    std::string name;
    std::string code;
    std::int64_t score = 0;
    std::int64_t stage = 0;
    std::int64_t keys = 0;
    std::optional<std::string> day; // "2026-12-08": the day's board it is filed on, if any
};

struct Entry {
    std::int64_t rank = 0; // 0 for a hidden entry
    std::int64_t id = 0;
    std::string name;
    std::int64_t score = 0;
    std::int64_t stage = 0;
    std::int64_t keys = 0;
    std::string when; // UTC, "2026-12-08T07:59:41Z"
    std::string code;
    bool hidden = false;
    std::optional<std::string> day;
    std::int64_t dayRank = 0; // on its day's board; 0 without a day or when hidden
};

struct StorageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Storage {
  public:
    virtual ~Storage() = default;

    struct Inserted {
        Entry entry;
        bool created = false; // false: the code was already in the table, as `entry`
    };
    // Stores a game unless its code is in the table already; either way answers with its entry.
    virtual Inserted insert(const NewEntry& game) = 0;
    virtual std::optional<Entry> byCode(const std::string& code) = 0;
    // Hidden entries too, with rank 0.
    virtual std::optional<Entry> byId(std::int64_t id) = 0;
    // Visible entries from rank offset + 1 on, best first.
    virtual std::vector<Entry> page(std::int64_t limit, std::int64_t offset) = 0;
    virtual std::int64_t visibleCount() = 0;
    // The board of `day` ("2026-12-08"), as page() and visibleCount() the all-time one.
    virtual std::vector<Entry> dayPage(const std::string& day, std::int64_t limit,
                                       std::int64_t offset) = 0;
    virtual std::int64_t dayCount(const std::string& day) = 0;
    // False when there is no such entry.
    virtual bool setHidden(std::int64_t id, bool hidden) = 0;
};

// The schema each engine creates and upgrades to; its version row says which it holds.
inline constexpr int kSchemaVersion = 2;

// "table.db" in `folder` (made if missing), or the PostgreSQL server named by `url` when not empty.
std::unique_ptr<Storage> openStorage(const std::string& folder, const std::string& url);

} // namespace table
