// One table of cases for both storage engines: SQLite in a scratch folder, and PostgreSQL where
// the test runs under pg_virtualenv (with_postgres.sh), which names the throwaway cluster in PG*.
#include "platform/scratch_dir.h"
#include "table/open_days.h"
#include "table/storage.h"

#include "game/daily_game.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <thread>
#include <tuple>

namespace table {
namespace {

using namespace std::chrono_literals;

TEST(OpenDays, EachDayFromTheDayBefore10UtcUntilTheDayAfter12Utc) {
    for (const auto& [date, time, expected] :
         {std::tuple{"2026-12-08", 9h + 59min + 59s, "2026-12-07 2026-12-08"},
          {"2026-12-08", 10h, "2026-12-07 2026-12-08 2026-12-09"},
          {"2026-12-08", 12h, "2026-12-08 2026-12-09"},
          {"2026-12-31", 23h + 59min + 59s, "2026-12-31 2027-01-01"},
          {"2028-02-28", 10h, "2028-02-27 2028-02-28 2028-02-29"},
          {"2028-03-01", 11h, "2028-02-29 2028-03-01 2028-03-02"}}) {
        std::string open;
        for (const auto day : openDays(std::chrono::sys_days(*parseCalendarDate(date)) + time)) {
            open += (open.empty() ? "" : " ") + calendarDateText(day);
        }
        EXPECT_EQ(open, expected) << date << " +" << time.count() << " s";
    }
}

NewEntry game(const std::string& code, std::int64_t score, const std::string& name = "ANNA",
              const char* day = nullptr) {
    return {name, code, score, 2, 31, day ? std::optional<std::string>(day) : std::nullopt};
}

class StorageTest : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        if (GetParam() == "postgres") {
            if (!std::getenv("PGHOST")) {
                GTEST_SKIP() << "no PostgreSQL: run under tests/table/with_postgres.sh";
            }
            // Each case from an empty database.
            execute(
                "SET client_min_messages = warning; DROP TABLE IF EXISTS games, schema_version");
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
        } else {
            sqlite3* db = nullptr;
            sqlite3_open((scratch_.path("data") + "/table.db").c_str(), &db);
            EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK)
                << sqlite3_errmsg(db);
            sqlite3_close(db);
        }
    }

    // A board's names best first (all time, or a day's), each ranked there by its place.
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

TEST_P(StorageTest, UpgradesAVersion1TableAndRanksEachDaysBoardAsTheAllTimeOne) {
    storage_->insert(game("K1.A", 300, "A"));
    storage_->setHidden(storage_->insert(game("K1.down", 900, "DOWN")).entry.id, true);
    storage_.reset();
    // The table as a server before days left it, upgraded once however often it is opened.
    execute("DROP INDEX games_day; ALTER TABLE games DROP COLUMN day;"
            " UPDATE schema_version SET version = 1");
    storage_ = open();
    storage_ = open();
    EXPECT_TRUE(storage_->byCode("K1.down")->hidden);
    EXPECT_FALSE(storage_->byCode("K1.A")->day);
    const std::int64_t b = storage_->insert(game("K1.B", 120, "B", "2026-12-08")).entry.id;
    storage_->insert(game("K1.C", 50, "C", "2026-12-08"));
    storage_->insert(game("K1.D", 120, "D", "2026-12-08"));
    storage_->insert(game("K1.E", 500, "E", "2026-12-09"));
    EXPECT_EQ(namesOfPage(10, 0), (std::vector<std::string>{"E", "A", "B", "D", "C"}));
    EXPECT_EQ(namesOfPage(10, 0, "2026-12-08"), (std::vector<std::string>{"B", "D", "C"}));
    EXPECT_EQ(storage_->dayPage("2026-12-08", 1, 1).at(0).rank, 4) << "D's all-time rank";
    const Entry d = storage_->page(1, 3).at(0);
    EXPECT_EQ(d.day.value_or("") + " " + std::to_string(d.dayRank), "2026-12-08 2");
    ASSERT_TRUE(storage_->setHidden(b, true));
    EXPECT_EQ(namesOfPage(10, 0, "2026-12-08"), (std::vector<std::string>{"D", "C"}));
    EXPECT_EQ(storage_->dayCount("2026-12-08"), 2);
    EXPECT_EQ(storage_->byId(b)->dayRank, 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, StorageTest, testing::Values("sqlite", "postgres"),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace table
