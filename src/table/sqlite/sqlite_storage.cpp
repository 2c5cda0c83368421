#include "table/sqlite/sqlite_storage.h"

#include "table/connection_pool.h"
#include "table/storage_queries.h"

#include <sqlite3.h>

#include <array>
#include <optional>
#include <string_view>

namespace table {
namespace {

constexpr std::array kTables = {
    "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS games ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT, code TEXT NOT NULL UNIQUE, name TEXT NOT NULL,"
    " score INTEGER NOT NULL, stage INTEGER NOT NULL, keys INTEGER NOT NULL,"
    " created TEXT NOT NULL, hidden INTEGER NOT NULL DEFAULT 0, day TEXT)",
};

// A version-1 file's games were filed before there were days: on no day's board.
constexpr const char* kFromVersion1 = "ALTER TABLE games ADD COLUMN day TEXT";

constexpr std::array kIndexes = {
    "CREATE INDEX IF NOT EXISTS games_rank ON games (score DESC, id) WHERE hidden = 0",
    "CREATE INDEX IF NOT EXISTS games_day ON games (day, score DESC, id)"
    " WHERE hidden = 0 AND day IS NOT NULL",
};

// An entry's columns, then its rank and its rank on its day. Each rank counts two ranges of its
// index apart: one condition with OR walks more of it.
#define KESTRILON_ENTRY_COLUMNS "id, name, score, stage, keys, created, code, hidden, day"
#define KESTRILON_RANK                                                                             \
    "CASE WHEN g.hidden THEN 0 ELSE"                                                               \
    " (SELECT count(*) FROM games WHERE hidden = 0 AND score > g.score)"                           \
    " + (SELECT count(*) FROM games WHERE hidden = 0 AND score = g.score AND id < g.id) + 1 END"
#define KESTRILON_DAY_RANK                                                                         \
    "CASE WHEN g.hidden OR g.day IS NULL THEN 0 ELSE"                                              \
    " (SELECT count(*) FROM games WHERE hidden = 0 AND day = g.day AND score > g.score)"           \
    " + (SELECT count(*) FROM games WHERE hidden = 0 AND day = g.day AND score = g.score"          \
    " AND id < g.id) + 1 END"

// A page's rank on its own board is its place on the page: 0 here, set as the rows are read.
constexpr std::array<std::string_view, kQueries> kQueryText = {
    "INSERT INTO games (code, name, score, stage, keys, created, day)"
    " VALUES (?1, ?2, ?3, ?4, ?5, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'), ?6)"
    " ON CONFLICT (code) DO NOTHING RETURNING id",
    "SELECT " KESTRILON_ENTRY_COLUMNS ", " KESTRILON_RANK ", " KESTRILON_DAY_RANK
    " FROM games AS g WHERE code = ?1",
    "SELECT " KESTRILON_ENTRY_COLUMNS ", " KESTRILON_RANK ", " KESTRILON_DAY_RANK
    " FROM games AS g WHERE id = ?1",
    "SELECT " KESTRILON_ENTRY_COLUMNS ", 0, " KESTRILON_DAY_RANK
    " FROM games AS g WHERE hidden = 0 ORDER BY score DESC, id LIMIT ?1 OFFSET ?2",
    "SELECT " KESTRILON_ENTRY_COLUMNS ", " KESTRILON_RANK ", 0"
    " FROM games AS g WHERE hidden = 0 AND day = ?1 ORDER BY score DESC, id LIMIT ?2 OFFSET ?3",
    "SELECT count(*) FROM games WHERE hidden = 0",
    "SELECT count(*) FROM games WHERE hidden = 0 AND day = ?1",
    "UPDATE games SET hidden = ?2 WHERE id = ?1",
    "SELECT coalesce(max(version), 0) FROM schema_version",
    "INSERT INTO schema_version (version) VALUES (?1)",
};

#undef KESTRILON_ENTRY_COLUMNS
#undef KESTRILON_RANK
#undef KESTRILON_DAY_RANK

class Connection {
  public:
    explicit Connection(const std::filesystem::path& file) {
        const int opened = sqlite3_open_v2(
            file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            nullptr);
        if (opened != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(opened);
            sqlite3_close(db_);
            throw StorageError("cannot open " + file.string() + ": " + why);
        }
        // Writers queue for the file's one write lock instead of failing at once.
        sqlite3_busy_timeout(db_, 10000);
        // In WAL mode a commit is safe from a crash of the process at this level; only a power
        // cut may take the last ones.
        execute("PRAGMA synchronous = NORMAL");
        execute("PRAGMA foreign_keys = ON");
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        for (sqlite3_stmt* statement : statements_) {
            sqlite3_finalize(statement);
        }
        sqlite3_close(db_);
    }

    void execute(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string why = message ? message : sqlite3_errmsg(db_);
            sqlite3_free(message);
            throw StorageError(why);
        }
    }

    // The query's prepared statement, reset and ready for its parameters.
    sqlite3_stmt* statement(Query query) {
        sqlite3_stmt*& statement = statements_[query];
        if (!statement) {
            const std::string_view text = kQueryText[query];
            check(sqlite3_prepare_v3(db_, text.data(), static_cast<int>(text.size()),
                                     SQLITE_PREPARE_PERSISTENT, &statement, nullptr));
        } else {
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
        }
        return statement;
    }

    void check(int result) {
        if (result != SQLITE_OK && result != SQLITE_ROW && result != SQLITE_DONE) {
            throw StorageError(sqlite3_errmsg(db_));
        }
    }

    int changes() { return sqlite3_changes(db_); }

    // SQLITE_ROW or SQLITE_DONE.
    int step(sqlite3_stmt* statement) {
        const int result = sqlite3_step(statement);
        check(result);
        return result;
    }

  private:
    sqlite3* db_ = nullptr;
    std::array<sqlite3_stmt*, kQueries> statements_{};
};

void bind(Connection& db, sqlite3_stmt* statement, int index, std::int64_t value) {
    db.check(sqlite3_bind_int64(statement, index, value));
}

void bind(Connection& db, sqlite3_stmt* statement, int index, const std::string& value) {
    db.check(sqlite3_bind_text(statement, index, value.data(), static_cast<int>(value.size()),
                               SQLITE_TRANSIENT));
}

void bind(Connection& db, sqlite3_stmt* statement, int index,
          const std::optional<std::string>& value) {
    if (value) {
        bind(db, statement, index, *value);
    } else {
        db.check(sqlite3_bind_null(statement, index));
    }
}

std::string text(sqlite3_stmt* statement, int column) {
    const auto* bytes = sqlite3_column_text(statement, column);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes),
                               static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                 : std::string();
}

Entry entryFrom(sqlite3_stmt* row) {
    Entry entry;
    entry.id = sqlite3_column_int64(row, 0);
    entry.name = text(row, 1);
    entry.score = sqlite3_column_int64(row, 2);
    entry.stage = sqlite3_column_int64(row, 3);
    entry.keys = sqlite3_column_int64(row, 4);
    entry.when = text(row, 5);
    entry.code = text(row, 6);
    entry.hidden = sqlite3_column_int64(row, 7) != 0;
    if (sqlite3_column_type(row, 8) != SQLITE_NULL) {
        entry.day = text(row, 8);
    }
    entry.rank = sqlite3_column_int64(row, 9);
    entry.dayRank = sqlite3_column_int64(row, 10);
    return entry;
}

class SqliteStorage final : public Storage {
  public:
    explicit SqliteStorage(const std::filesystem::path& file)
        : pool_([file] { return std::make_unique<Connection>(file); }) {
        auto db = pool_.borrow();
        // Kept by the file once set.
        db->execute("PRAGMA journal_mode = WAL");
        db->execute("BEGIN IMMEDIATE");
        try {
            for (const char* statement : kTables) {
                db->execute(statement);
            }
            upgradeSchema(*db);
            for (const char* statement : kIndexes) {
                db->execute(statement);
            }
            db->execute("COMMIT");
        } catch (...) {
            db.markBroken();
            throw;
        }
    }

    Inserted insert(const NewEntry& game) override {
        return pool_.withConnection([&](Connection& db) {
            sqlite3_stmt* statement = db.statement(insertGame);
            bind(db, statement, 1, game.code);
            bind(db, statement, 2, game.name);
            bind(db, statement, 3, game.score);
            bind(db, statement, 4, game.stage);
            bind(db, statement, 5, game.keys);
            bind(db, statement, 6, game.day);
            const bool created = db.step(statement) == SQLITE_ROW;
            if (created) {
                db.step(statement); // the end of RETURNING, which commits
            }
            sqlite3_reset(statement);
            std::optional<Entry> entry = find(db, gameByCode, game.code);
            if (!entry) {
                throw StorageError("an entry vanished as it was stored");
            }
            return Inserted{std::move(*entry), created};
        });
    }

    std::optional<Entry> byCode(const std::string& code) override {
        return pool_.withConnection([&](Connection& db) { return find(db, gameByCode, code); });
    }

    std::optional<Entry> byId(std::int64_t id) override {
        return pool_.withConnection([&](Connection& db) { return find(db, gameById, id); });
    }

    std::vector<Entry> page(std::int64_t limit, std::int64_t offset) override {
        return pool_.withConnection([&](Connection& db) {
            sqlite3_stmt* statement = db.statement(pageOfGames);
            bind(db, statement, 1, limit);
            bind(db, statement, 2, offset);
            return rows(db, statement, offset, &Entry::rank);
        });
    }

    std::int64_t visibleCount() override {
        return pool_.withConnection(
            [&](Connection& db) { return count(db, db.statement(countVisible)); });
    }

    std::vector<Entry> dayPage(const std::string& day, std::int64_t limit,
                               std::int64_t offset) override {
        return pool_.withConnection([&](Connection& db) {
            sqlite3_stmt* statement = db.statement(pageOfDay);
            bind(db, statement, 1, day);
            bind(db, statement, 2, limit);
            bind(db, statement, 3, offset);
            return rows(db, statement, offset, &Entry::dayRank);
        });
    }

    std::int64_t dayCount(const std::string& day) override {
        return pool_.withConnection([&](Connection& db) {
            sqlite3_stmt* statement = db.statement(countOfDay);
            bind(db, statement, 1, day);
            return count(db, statement);
        });
    }

    bool setHidden(std::int64_t id, bool hidden) override {
        return pool_.withConnection([&](Connection& db) {
            sqlite3_stmt* statement = db.statement(hide);
            bind(db, statement, 1, id);
            bind(db, statement, 2, std::int64_t{hidden ? 1 : 0});
            db.step(statement);
            return db.changes() > 0;
        });
    }

  private:
    template <typename Key>
    static std::optional<Entry> find(Connection& db, Query query, const Key& key) {
        sqlite3_stmt* statement = db.statement(query);
        bind(db, statement, 1, key);
        if (db.step(statement) != SQLITE_ROW) {
            return std::nullopt;
        }
        Entry entry = entryFrom(statement);
        // A statement left unreset holds its read transaction, and the connection would see no
        // later change, another process's included.
        sqlite3_reset(statement);
        return entry;
    }

    // The rows of a page of a board, each ranked there (`place`) by its place on the page.
    static std::vector<Entry> rows(Connection& db, sqlite3_stmt* statement, std::int64_t offset,
                                   std::int64_t Entry::*place) {
        std::vector<Entry> entries;
        while (db.step(statement) == SQLITE_ROW) {
            entries.push_back(entryFrom(statement));
            entries.back().*place = offset + static_cast<std::int64_t>(entries.size());
        }
        return entries;
    }

    static std::int64_t count(Connection& db, sqlite3_stmt* statement) {
        db.step(statement);
        const std::int64_t counted = sqlite3_column_int64(statement, 0);
        sqlite3_reset(statement);
        return counted;
    }

    // A new file gets the version row, an older one the columns it lacks; one written by a later
    // server is refused rather than changed under it.
    static void upgradeSchema(Connection& db) {
        sqlite3_stmt* statement = db.statement(schemaVersion);
        db.step(statement);
        const std::int64_t version = sqlite3_column_int64(statement, 0);
        sqlite3_reset(statement);
        if (version > kSchemaVersion) {
            throw StorageError("the table was written by a later kestrilon-table (schema " +
                               std::to_string(version) + ")");
        }
        if (version == 1) {
            db.execute(kFromVersion1);
        }
        if (version < kSchemaVersion) {
            db.execute("DELETE FROM schema_version");
            statement = db.statement(setSchemaVersion);
            bind(db, statement, 1, std::int64_t{kSchemaVersion});
            db.step(statement);
        }
    }

    ConnectionPool<Connection> pool_;
};

} // namespace

std::unique_ptr<Storage> openSqliteStorage(const std::filesystem::path& file) {
    return std::make_unique<SqliteStorage>(file);
}

} // namespace table
