// One table of cases for both storage engines: SQLite in a scratch folder, and PostgreSQL where
// the test runs under pg_virtualenv (with_postgres.sh), which names the throwaway cluster in PG*.
#include "platform/scratch_dir.h"
#include "table/storage.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <optional>
#include <thread>
#include <tuple>

namespace table {
namespace {

NewEntry game(const std::string& code, std::int64_t score, const std::string& name = "ANNA",
              std::optional<std::string> day = std::nullopt) {
    return {name, code, score, 2, 31, std::move(day)};
}

// A table as the server before days left it: one shown game and one taken down.
constexpr const char* kVersion1Sqlite =
    "CREATE TABLE schema_version (version INTEGER NOT NULL); INSERT INTO schema_version VALUES (1);"
    "CREATE TABLE games (id INTEGER PRIMARY KEY AUTOINCREMENT, code TEXT NOT NULL UNIQUE,"
    " name TEXT NOT NULL, score INTEGER NOT NULL, stage INTEGER NOT NULL, keys INTEGER NOT NULL,"
    " created TEXT NOT NULL, hidden INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX games_rank ON games (score DESC, id) WHERE hidden = 0;"
    "INSERT INTO games (code, name, score, stage, keys, created, hidden) VALUES"
    " ('K1.old', 'OLD', 70, 1, 9, '2026-01-02T03:04:05Z', 0),"
    " ('K1.down', 'DOWN', 90, 1, 9, '2026-01-02T03:04:06Z', 1)";
constexpr const char* kVersion1Postgres =
    "CREATE TABLE schema_version (version integer NOT NULL); INSERT INTO schema_version VALUES (1);"
    "CREATE TABLE games (id bigserial PRIMARY KEY, code text NOT NULL UNIQUE, name text NOT NULL,"
    " score bigint NOT NULL, stage bigint NOT NULL, keys bigint NOT NULL,"
    " created timestamptz NOT NULL DEFAULT now(), hidden boolean NOT NULL DEFAULT false);"
    "CREATE INDEX games_rank ON games (score DESC, id) WHERE NOT hidden;"
    "INSERT INTO games (code, name, score, stage, keys, created, hidden) VALUES"
    " ('K1.old', 'OLD', 70, 1, 9, '2026-01-02 03:04:05+00', false),"
    " ('K1.down', 'DOWN', 90, 1, 9, '2026-01-02 03:04:06+00', true)";

class StorageTest : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        if (GetParam() == "postgres") {
            if (!std::getenv("PGHOST")) {
                GTEST_SKIP() << "no PostgreSQL: run under tests/table/with_postgres.sh";
            }
            // Each case from an empty database.
            PGconn* db = PQconnectdb("");
            ASSERT_EQ(PQstatus(db), CONNECTION_OK) << PQerrorMessage(db);
            PQclear(PQexec(db, "SET client_min_messages = warning;"
                               " DROP TABLE IF EXISTS games, schema_version"));
            PQfinish(db);
        }
        storage_ = open();
    }

    std::unique_ptr<Storage> open() {
        return GetParam() == "postgres" ? openStorage("", "postgresql://")
                                        : openStorage(scratch_.path("data"), "");
    }

    // SQL run on the engine's database behind the storage's back.
    void execute(const char* sql) {
        if (GetParam() == "postgres") {
            PGconn* db = PQconnectdb("");
            PGresult* result = PQexec(db, sql);
            EXPECT_EQ(PQresultStatus(result), PGRES_COMMAND_OK) << PQerrorMessage(db);
            PQclear(result);
            PQfinish(db);
            return;
        }
        sqlite3* db = nullptr;
        sqlite3_open((scratch_.path("data") + "/table.db").c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    // A board's names best first, each checked to be ranked there by its place.
    std::vector<std::string> namesOfPage(std::int64_t limit, std::int64_t offset,
                                         const std::string& day = "") {
        std::vector<std::string> names;
        std::int64_t rank = offset;
        for (const Entry& entry :
             day.empty() ? storage_->page(limit, offset) : storage_->dayPage(day, limit, offset)) {
            EXPECT_EQ(day.empty() ? entry.rank : entry.dayRank, ++rank) << entry.name;
            names.push_back(entry.name);
        }
        return names;
    }

    ScratchDir scratch_;
    std::unique_ptr<Storage> storage_;
};

TEST_P(StorageTest, KeepsOneRowPerCodeAndAnswersWithIt) {
    const Storage::Inserted first = storage_->insert(game("K1.a", 120));
    EXPECT_TRUE(first.created);
    EXPECT_EQ(first.entry.rank, 1);
    EXPECT_EQ(first.entry.score, 120);
    EXPECT_EQ(first.entry.stage, 2);
    EXPECT_EQ(first.entry.keys, 31);
    EXPECT_EQ(first.entry.when.size(), std::string("2026-12-08T07:59:41Z").size())
        << first.entry.when;
    const Storage::Inserted again = storage_->insert(game("K1.a", 999, "BOB"));
    EXPECT_FALSE(again.created);
    EXPECT_EQ(again.entry.id, first.entry.id);
    EXPECT_EQ(again.entry.name, "ANNA");
    EXPECT_EQ(storage_->visibleCount(), 1);
    EXPECT_EQ(storage_->byCode("K1.a")->id, first.entry.id);
    EXPECT_FALSE(storage_->byCode("K1.b"));
    EXPECT_FALSE(storage_->byId(first.entry.id + 1));
}

TEST_P(StorageTest, RanksByScoreThenTheEarlierEntryAndPages) {
    for (const auto& [name, score] :
         {std::pair{"C", 50}, {"A", 300}, {"D", 50}, {"B", 120}, {"E", 0}}) {
        storage_->insert(game(std::string("K1.") + name, score, name));
    }
    EXPECT_EQ(namesOfPage(10, 0), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(namesOfPage(2, 2), (std::vector<std::string>{"C", "D"}));
    EXPECT_EQ(namesOfPage(2, 4), (std::vector<std::string>{"E"}));
    EXPECT_TRUE(namesOfPage(2, 5).empty());
    EXPECT_EQ(storage_->byCode("K1.D")->rank, 4);
}

TEST_P(StorageTest, AHiddenEntryLeavesThePagesAndTheRanks) {
    const std::int64_t top = storage_->insert(game("K1.top", 500, "TOP")).entry.id;
    storage_->insert(game("K1.next", 100, "NEXT"));
    ASSERT_TRUE(storage_->setHidden(top, true));
    EXPECT_EQ(namesOfPage(10, 0), std::vector<std::string>{"NEXT"});
    EXPECT_EQ(storage_->visibleCount(), 1);
    EXPECT_EQ(storage_->byCode("K1.next")->rank, 1);
    const std::optional<Entry> hidden = storage_->byId(top);
    ASSERT_TRUE(hidden);
    EXPECT_TRUE(hidden->hidden);
    EXPECT_EQ(hidden->rank, 0);
    EXPECT_FALSE(storage_->insert(game("K1.top", 500, "AGAIN")).created);
    ASSERT_TRUE(storage_->setHidden(top, false));
    EXPECT_EQ(namesOfPage(10, 0), (std::vector<std::string>{"TOP", "NEXT"}));
    EXPECT_FALSE(storage_->setHidden(top + 100, true));
}

TEST_P(StorageTest, KeepsItsRowsAcrossServersAndTakesTheSameCodeOnceFromManyThreads) {
    std::vector<std::thread> threads;
    std::atomic<int> created = 0;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < 20; ++n) {
                created +=
                    storage_
                        ->insert(game("K1.same" + std::to_string(n), n, "T" + std::to_string(t)))
                        .created;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(created, 20);
    const std::unique_ptr<Storage> second = open();
    EXPECT_EQ(second->visibleCount(), 20);
    EXPECT_EQ(second->page(1, 0).at(0).code, "K1.same19");
}

TEST_P(StorageTest, ADaysBoardHoldsItsOwnGamesRankedAsTheAllTimeBoardIs) {
    const std::string day = "2026-12-08";
    for (const auto& [name, score, filed] : {std::tuple{"A", 300, ""},
                                             {"B", 120, "2026-12-08"},
                                             {"C", 50, "2026-12-08"},
                                             {"D", 120, "2026-12-08"},
                                             {"E", 500, "2026-12-09"}}) {
        storage_->insert(game(std::string("K1.") + name, score, name,
                              *filed ? std::optional<std::string>(filed) : std::nullopt));
    }
    EXPECT_EQ(namesOfPage(10, 0, day), (std::vector<std::string>{"B", "D", "C"}));
    EXPECT_EQ(namesOfPage(5, 1, day), (std::vector<std::string>{"D", "C"}));
    EXPECT_EQ(storage_->dayCount(day), 3);
    EXPECT_EQ(storage_->dayPage(day, 1, 1).at(0).rank, 4) << "D's all-time rank";
    const std::vector<Entry> allTime = storage_->page(10, 0);
    ASSERT_EQ(allTime.size(), 5u);
    EXPECT_EQ(allTime[0].day, "2026-12-09");
    EXPECT_EQ(allTime[0].dayRank, 1);
    EXPECT_FALSE(allTime[1].day);
    EXPECT_EQ(allTime[1].dayRank, 0);
    EXPECT_EQ(allTime[3].dayRank, 2) << "D on its day";
    const Entry b = *storage_->byCode("K1.B");
    EXPECT_EQ(b.day, day);
    EXPECT_EQ(b.dayRank, 1);
    ASSERT_TRUE(storage_->setHidden(b.id, true));
    EXPECT_EQ(namesOfPage(10, 0, day), (std::vector<std::string>{"D", "C"}));
    EXPECT_EQ(storage_->dayCount(day), 2);
    EXPECT_EQ(storage_->byCode("K1.D")->dayRank, 1);
    EXPECT_EQ(storage_->byId(b.id)->dayRank, 0);
    EXPECT_TRUE(storage_->dayPage("2026-12-07", 10, 0).empty());
}

TEST_P(StorageTest, UpgradesAVersion1TableKeepingEveryEntryOnNoDaysBoard) {
    storage_.reset();
    execute("DROP TABLE games; DROP TABLE schema_version");
    execute(GetParam() == "postgres" ? kVersion1Postgres : kVersion1Sqlite);
    storage_ = open();
    const std::optional<Entry> old = storage_->byCode("K1.old");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->name, "OLD");
    EXPECT_EQ(old->score, 70);
    EXPECT_EQ(old->when, "2026-01-02T03:04:05Z");
    EXPECT_EQ(old->rank, 1);
    EXPECT_FALSE(old->day);
    EXPECT_TRUE(storage_->byCode("K1.down")->hidden);
    storage_->insert(game("K1.new", 80, "NEW", "2026-12-08"));
    EXPECT_EQ(namesOfPage(10, 0), (std::vector<std::string>{"NEW", "OLD"}));
    EXPECT_EQ(namesOfPage(10, 0, "2026-12-08"), std::vector<std::string>{"NEW"});
    // Opened again, it is not upgraded twice.
    storage_ = open();
    EXPECT_EQ(storage_->visibleCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, StorageTest, testing::Values("sqlite", "postgres"),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace table
