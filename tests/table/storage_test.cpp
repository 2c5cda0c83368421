// One table of cases for both storage engines: SQLite in a scratch folder, and PostgreSQL where
// the test runs under pg_virtualenv (with_postgres.sh), which names the throwaway cluster in PG*.
#include "platform/scratch_dir.h"
#include "table/storage.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <thread>

namespace table {
namespace {

NewEntry game(const std::string& code, std::int64_t score, const std::string& name = "ANNA") {
    return {name, code, score, 2, 31};
}

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

    std::vector<std::string> namesOfPage(std::int64_t limit, std::int64_t offset) {
        std::vector<std::string> names;
        std::int64_t rank = offset;
        for (const Entry& entry : storage_->page(limit, offset)) {
            EXPECT_EQ(entry.rank, ++rank) << entry.name;
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

INSTANTIATE_TEST_SUITE_P(Engines, StorageTest, testing::Values("sqlite", "postgres"),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace table
