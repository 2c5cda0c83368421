#include "table/postgres/postgres_storage.h"

#include "table/connection_pool.h"
#include "table/storage_queries.h"

#include <libpq-fe.h>

#include <array>
#include <optional>
#include <string_view>

namespace table {
namespace {

// An entry's columns, then its rank and its rank on its day. Each rank counts two ranges of its
// index apart: one condition with OR walks more of it.
#define KESTRILON_ENTRY_COLUMNS                                                                    \
    "id, name, score, stage, keys,"                                                                \
    " to_char(created AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), code, hidden,"        \
    " to_char(day, 'YYYY-MM-DD')"
#define KESTRILON_RANK                                                                             \
    "CASE WHEN g.hidden THEN 0 ELSE"                                                               \
    " (SELECT count(*) FROM games WHERE NOT hidden AND score > g.score)"                           \
    " + (SELECT count(*) FROM games WHERE NOT hidden AND score = g.score AND id < g.id) + 1 END"
#define KESTRILON_DAY_RANK                                                                         \
    "CASE WHEN g.hidden OR g.day IS NULL THEN 0 ELSE"                                              \
    " (SELECT count(*) FROM games WHERE NOT hidden AND day = g.day AND score > g.score)"           \
    " + (SELECT count(*) FROM games WHERE NOT hidden AND day = g.day AND score = g.score"          \
    " AND id < g.id) + 1 END"

struct Statement {
    const char* name;
    const char* text;
};

// A page's rank on its own board is its place on the page: 0 here, set as the rows are read.
constexpr std::array<Statement, kQueries> kStatements = {{
    {"insert_game", "INSERT INTO games (code, name, score, stage, keys, day)"
                    " VALUES ($1, $2, $3, $4, $5, $6) ON CONFLICT (code) DO NOTHING RETURNING id"},
    {"game_by_code", "SELECT " KESTRILON_ENTRY_COLUMNS ", " KESTRILON_RANK ", " KESTRILON_DAY_RANK
                     " FROM games AS g WHERE code = $1"},
    {"game_by_id", "SELECT " KESTRILON_ENTRY_COLUMNS ", " KESTRILON_RANK ", " KESTRILON_DAY_RANK
                   " FROM games AS g WHERE id = $1"},
    {"page_of_games",
     "SELECT " KESTRILON_ENTRY_COLUMNS ", 0, " KESTRILON_DAY_RANK
     " FROM games AS g WHERE NOT hidden ORDER BY score DESC, id LIMIT $1 OFFSET $2"},
    {"page_of_day", "SELECT " KESTRILON_ENTRY_COLUMNS ", " KESTRILON_RANK ", 0"
                    " FROM games AS g WHERE NOT hidden AND day = $1"
                    " ORDER BY score DESC, id LIMIT $2 OFFSET $3"},
    {"count_visible", "SELECT count(*) FROM games WHERE NOT hidden"},
    {"count_of_day", "SELECT count(*) FROM games WHERE NOT hidden AND day = $1"},
    {"hide", "UPDATE games SET hidden = $2 WHERE id = $1"},
    {"schema_version", "SELECT coalesce(max(version), 0) FROM schema_version"},
    {"set_schema_version", "INSERT INTO schema_version (version) VALUES ($1)"},
}};

#undef KESTRILON_ENTRY_COLUMNS
#undef KESTRILON_RANK
#undef KESTRILON_DAY_RANK

// Made once, by whichever server takes the lock first; an arbitrary key of our own for the lock.
constexpr const char* kTables =
    "SELECT pg_advisory_xact_lock(7346527001);"
    "CREATE TABLE IF NOT EXISTS schema_version (version integer NOT NULL);"
    "CREATE TABLE IF NOT EXISTS games ("
    " id bigserial PRIMARY KEY, code text NOT NULL UNIQUE, name text NOT NULL,"
    " score bigint NOT NULL, stage bigint NOT NULL, keys bigint NOT NULL,"
    " created timestamptz NOT NULL DEFAULT now(), hidden boolean NOT NULL DEFAULT false,"
    " day date);";

// A version-1 database's games were filed before there were days: on no day's board.
constexpr const char* kFromVersion1 = "ALTER TABLE games ADD COLUMN day date";

constexpr const char* kIndexes =
    "CREATE INDEX IF NOT EXISTS games_rank ON games (score DESC, id) WHERE NOT hidden;"
    "CREATE INDEX IF NOT EXISTS games_day ON games (day, score DESC, id)"
    " WHERE NOT hidden AND day IS NOT NULL;";

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

class Connection {
  public:
    explicit Connection(const std::string& url) : db_(PQconnectdb(url.c_str())) {
        if (!db_ || PQstatus(db_) != CONNECTION_OK) {
            const std::string why = db_ ? PQerrorMessage(db_) : "out of memory";
            PQfinish(db_);
            throw StorageError("cannot connect to PostgreSQL: " + why);
        }
        // "already exists, skipping" from each server that starts after the first.
        execute("SET client_min_messages = warning");
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { PQfinish(db_); }

    // Statements without parameters, ours only.
    void execute(const char* sql) { checked(PQexec(db_, sql)); }

    // A parameter left out is SQL's null.
    Result run(Query query, std::initializer_list<std::optional<std::string>> parameters) {
        if (!prepared_[query]) {
            checked(PQprepare(db_, kStatements[query].name, kStatements[query].text, 0, nullptr));
            prepared_[query] = true;
        }
        std::array<const char*, 6> values{};
        std::size_t count = 0;
        for (const std::optional<std::string>& parameter : parameters) {
            values[count++] = parameter ? parameter->c_str() : nullptr;
        }
        return checked(PQexecPrepared(db_, kStatements[query].name, static_cast<int>(count),
                                      values.data(), nullptr, nullptr, 0));
    }

  private:
    Result checked(PGresult* raw) {
        Result result(raw, &PQclear);
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            throw StorageError(std::string("PostgreSQL: ") + PQerrorMessage(db_));
        }
        return result;
    }

    PGconn* db_ = nullptr;
    std::array<bool, kQueries> prepared_{};
};

std::int64_t number(const Result& result, int row, int column) {
    return std::stoll(PQgetvalue(result.get(), row, column));
}

Entry entryFrom(const Result& result, int row) {
    Entry entry;
    entry.id = number(result, row, 0);
    entry.name = PQgetvalue(result.get(), row, 1);
    entry.score = number(result, row, 2);
    entry.stage = number(result, row, 3);
    entry.keys = number(result, row, 4);
    entry.when = PQgetvalue(result.get(), row, 5);
    entry.code = PQgetvalue(result.get(), row, 6);
    entry.hidden = std::string_view(PQgetvalue(result.get(), row, 7)) == "t";
    if (!PQgetisnull(result.get(), row, 8)) {
        entry.day = PQgetvalue(result.get(), row, 8);
    }
    entry.rank = number(result, row, 9);
    entry.dayRank = number(result, row, 10);
    return entry;
}

class PostgresStorage final : public Storage {
  public:
    explicit PostgresStorage(const std::string& url)
        : pool_([url] { return std::make_unique<Connection>(url); }) {
        pool_.withConnection([](Connection& db) {
            db.execute("BEGIN");
            db.execute(kTables);
            const std::int64_t version = number(db.run(schemaVersion, {}), 0, 0);
            if (version > kSchemaVersion) {
                throw StorageError("the table was written by a later kestrilon-table (schema " +
                                   std::to_string(version) + ")");
            }
            if (version == 1) {
                db.execute(kFromVersion1);
            }
            db.execute(kIndexes);
            if (version < kSchemaVersion) {
                db.execute("DELETE FROM schema_version");
                db.run(setSchemaVersion, {std::to_string(kSchemaVersion)});
            }
            db.execute("COMMIT");
            return 0;
        });
    }

    Inserted insert(const NewEntry& game) override {
        return pool_.withConnection([&](Connection& db) {
            const Result stored = db.run(
                insertGame, {game.code, game.name, std::to_string(game.score),
                             std::to_string(game.stage), std::to_string(game.keys), game.day});
            std::optional<Entry> entry = find(db, gameByCode, game.code);
            if (!entry) {
                throw StorageError("an entry vanished as it was stored");
            }
            return Inserted{std::move(*entry), PQntuples(stored.get()) == 1};
        });
    }

    std::optional<Entry> byCode(const std::string& code) override {
        return pool_.withConnection([&](Connection& db) { return find(db, gameByCode, code); });
    }

    std::optional<Entry> byId(std::int64_t id) override {
        return pool_.withConnection(
            [&](Connection& db) { return find(db, gameById, std::to_string(id)); });
    }

    std::vector<Entry> page(std::int64_t limit, std::int64_t offset) override {
        return pool_.withConnection([&](Connection& db) {
            return rows(db.run(pageOfGames, {std::to_string(limit), std::to_string(offset)}),
                        offset, &Entry::rank);
        });
    }

    std::int64_t visibleCount() override {
        return pool_.withConnection(
            [&](Connection& db) { return number(db.run(countVisible, {}), 0, 0); });
    }

    std::vector<Entry> dayPage(const std::string& day, std::int64_t limit,
                               std::int64_t offset) override {
        return pool_.withConnection([&](Connection& db) {
            return rows(db.run(pageOfDay, {day, std::to_string(limit), std::to_string(offset)}),
                        offset, &Entry::dayRank);
        });
    }

    std::int64_t dayCount(const std::string& day) override {
        return pool_.withConnection(
            [&](Connection& db) { return number(db.run(countOfDay, {day}), 0, 0); });
    }

    bool setHidden(std::int64_t id, bool hidden) override {
        return pool_.withConnection([&](Connection& db) {
            const Result changed = db.run(hide, {std::to_string(id), hidden ? "true" : "false"});
            return std::string_view(PQcmdTuples(changed.get())) != "0";
        });
    }

  private:
    static std::optional<Entry> find(Connection& db, Query query, const std::string& key) {
        const Result found = db.run(query, {key});
        if (PQntuples(found.get()) == 0) {
            return std::nullopt;
        }
        return entryFrom(found, 0);
    }

    // The rows of a page of a board, each ranked there (`place`) by its place on the page.
    static std::vector<Entry> rows(const Result& result, std::int64_t offset,
                                   std::int64_t Entry::*place) {
        std::vector<Entry> entries;
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            entries.push_back(entryFrom(result, row));
            entries.back().*place = offset + row + 1;
        }
        return entries;
    }

    ConnectionPool<Connection> pool_;
};

} // namespace

std::unique_ptr<Storage> openPostgresStorage(const std::string& url) {
    return std::make_unique<PostgresStorage>(url);
}

} // namespace table
