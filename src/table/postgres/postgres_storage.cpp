#include "table/postgres/postgres_storage.h"

#include "table/connection_pool.h"
#include "table/storage_queries.h"

#include <libpq-fe.h>

#include <array>
#include <string_view>

namespace table {
namespace {

#define KESTRILON_ENTRY_COLUMNS                                                                    \
    "id, name, score, stage, keys,"                                                                \
    " to_char(created AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), code, hidden"

struct Statement {
    const char* name;
    const char* text;
};

constexpr std::array<Statement, kQueries> kStatements = {{
    {"insert_game", "INSERT INTO games (code, name, score, stage, keys) VALUES ($1, $2, $3, $4, $5)"
                    " ON CONFLICT (code) DO NOTHING RETURNING id"},
    {"game_by_code", "SELECT " KESTRILON_ENTRY_COLUMNS " FROM games WHERE code = $1"},
    {"game_by_id", "SELECT " KESTRILON_ENTRY_COLUMNS " FROM games WHERE id = $1"},
    {"page_of_games", "SELECT " KESTRILON_ENTRY_COLUMNS " FROM games WHERE NOT hidden"
                      " ORDER BY score DESC, id LIMIT $1 OFFSET $2"},
    {"rank_of", "SELECT (SELECT count(*) FROM games WHERE NOT hidden AND score > $1)"
                " + (SELECT count(*) FROM games WHERE NOT hidden AND score = $1 AND id < $2) + 1"},
    {"count_visible", "SELECT count(*) FROM games WHERE NOT hidden"},
    {"hide", "UPDATE games SET hidden = $2 WHERE id = $1"},
    {"schema_version", "SELECT coalesce(max(version), 0) FROM schema_version"},
    {"set_schema_version", "INSERT INTO schema_version (version) VALUES ($1)"},
}};

#undef KESTRILON_ENTRY_COLUMNS

// Made once, by whichever server takes the lock first; an arbitrary key of our own for the lock.
constexpr const char* kSchema =
    "SELECT pg_advisory_xact_lock(7346527001);"
    "CREATE TABLE IF NOT EXISTS schema_version (version integer NOT NULL);"
    "CREATE TABLE IF NOT EXISTS games ("
    " id bigserial PRIMARY KEY, code text NOT NULL UNIQUE, name text NOT NULL,"
    " score bigint NOT NULL, stage bigint NOT NULL, keys bigint NOT NULL,"
    " created timestamptz NOT NULL DEFAULT now(), hidden boolean NOT NULL DEFAULT false);"
    "CREATE INDEX IF NOT EXISTS games_rank ON games (score DESC, id) WHERE NOT hidden;";

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

    Result run(Query query, std::initializer_list<std::string> parameters) {
        if (!prepared_[query]) {
            checked(PQprepare(db_, kStatements[query].name, kStatements[query].text, 0, nullptr));
            prepared_[query] = true;
        }
        std::array<const char*, 5> values{};
        std::size_t count = 0;
        for (const std::string& parameter : parameters) {
            values[count++] = parameter.c_str();
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
    return entry;
}

class PostgresStorage final : public Storage {
  public:
    explicit PostgresStorage(const std::string& url)
        : pool_([url] { return std::make_unique<Connection>(url); }) {
        pool_.withConnection([](Connection& db) {
            db.execute("BEGIN");
            db.execute(kSchema);
            const std::int64_t version = number(db.run(schemaVersion, {}), 0, 0);
            if (version > kSchemaVersion) {
                throw StorageError("the table was written by a later kestrilon-table (schema " +
                                   std::to_string(version) + ")");
            }
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
            const Result stored =
                db.run(insertGame, {game.code, game.name, std::to_string(game.score),
                                    std::to_string(game.stage), std::to_string(game.keys)});
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
            const Result rows =
                db.run(pageOfGames, {std::to_string(limit), std::to_string(offset)});
            std::vector<Entry> entries;
            for (int row = 0; row < PQntuples(rows.get()); ++row) {
                entries.push_back(entryFrom(rows, row));
                entries.back().rank = offset + row + 1;
            }
            return entries;
        });
    }

    std::int64_t visibleCount() override {
        return pool_.withConnection(
            [&](Connection& db) { return number(db.run(countVisible, {}), 0, 0); });
    }

    bool setHidden(std::int64_t id, bool hidden) override {
        return pool_.withConnection([&](Connection& db) {
            const Result changed = db.run(hide, {std::to_string(id), hidden ? "true" : "false"});
            return std::string_view(PQcmdTuples(changed.get())) != "0";
        });
    }

  private:
    static std::optional<Entry> find(Connection& db, Query query, const std::string& key) {
        const Result rows = db.run(query, {key});
        if (PQntuples(rows.get()) == 0) {
            return std::nullopt;
        }
        Entry entry = entryFrom(rows, 0);
        if (!entry.hidden) {
            entry.rank = number(
                db.run(rankOf, {std::to_string(entry.score), std::to_string(entry.id)}), 0, 0);
        }
        return entry;
    }

    ConnectionPool<Connection> pool_;
};

} // namespace

std::unique_ptr<Storage> openPostgresStorage(const std::string& url) {
    return std::make_unique<PostgresStorage>(url);
}

} // namespace table
