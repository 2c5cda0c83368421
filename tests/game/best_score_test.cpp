// The best score's file: what reading takes for a score, and what saving leaves behind.
#include "game/best_score.h"
#include "platform/saved_file.h"
#include "platform/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(BestScore, ReadsADecimalScoreAndNamesTheFileOfAnythingElse) {
    struct Row {
        const char* what;
        std::string bytes;
        std::optional<std::uint64_t> score;
    };
    const Row rows[] = {
        {"good", "1230\n", 1230},
        {"good, from a Windows editor", "1230\r\n", 1230},
        {"the longest the readout shows", "999999999999999\n", 999999999999999},
        {"empty", "", std::nullopt},
        {"damaged", "12a0\n", std::nullopt},
        {"two lines", "10\n20\n", std::nullopt},
        {"huge", "9999999999999999\n", std::nullopt},
        {"one byte past the longest", "999999999999999\r\nx", std::nullopt},
        {"zero, which is never kept", "0\n", std::nullopt},
        {"negative", "-50\n", std::nullopt},
        {"binary", std::string("\x00\x01\xff\n", 4), std::nullopt},
    };
    ScratchDir scratch;
    for (const Row& row : rows) {
        const std::string file = scratch.write("best-score", {row.bytes.begin(), row.bytes.end()});
        testing::internal::CaptureStderr();
        EXPECT_EQ(readBestScore(file), row.score) << row.what;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find(file) != std::string::npos, !row.score) << row.what << ": " << said;
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(readBestScore(scratch.path("missing")), std::nullopt);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no file: no best score, quietly";
}

TEST(BestScore, SavesOnlyAHigherScoreWithItsGameLeavingNothingBesideThem) {
    ScratchDir scratch;
    const fs::path folder = fs::path(scratch.path("data")) / "kestrilon";
    const fs::path file = folder / "best-score";
    struct Row {
        const char* what;
        std::uint64_t score;
        const char* code;
        SaveOutcome outcome;
        const char* kept;
        std::optional<std::string> game;
    };
    const Row rows[] = {
        {"the first, over a temporary file a save cut short left", 120, "", SaveOutcome::saved,
         "120\n", std::nullopt},
        {"a higher one replaces it, with its game", 4500, "K1.ab-_", SaveOutcome::saved, "4500\n",
         "K1.ab-_"},
        {"a lower one keeps the higher", 300, "K1.low", SaveOutcome::higherKept, "4500\n",
         "K1.ab-_"},
        {"so does an equal one", 4500, "K1.eq", SaveOutcome::higherKept, "4500\n", "K1.ab-_"},
        {"a higher one with no game drops the older game", 5000, "", SaveOutcome::saved, "5000\n",
         std::nullopt},
        {"a code of two lines is no game", 6000, "K1.a\nb", SaveOutcome::saved, "6000\n",
         std::nullopt},
    };
    scratch.write("data/kestrilon/best-score.tmp", {'9', '9', '9', '9', '\n'});
    for (const Row& row : rows) {
        EXPECT_EQ(saveBestScore(file, row.score, row.code), row.outcome) << row.what;
        EXPECT_EQ(contents(file), row.kept) << row.what;
        EXPECT_EQ(readBestGame(file), row.game) << row.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
                  row.game ? 2 : 1)
            << row.what;
    }
    scratch.write("data/kestrilon/best-game", {'6', '0', '0', '0', '\n', 'K', '1', '.', '\n'});
    EXPECT_EQ(readBestGame(file), "K1.") << "written by hand for the score kept";
    const std::string_view edited = "\xEF\xBB\xBF"
                                    "6000\r\n K1.\r\n";
    scratch.write("data/kestrilon/best-game", {edited.begin(), edited.end()});
    EXPECT_EQ(readBestGame(file), "K1.") << "as a Windows editor saves it";
    scratch.write("data/kestrilon/best-game", {'5', '0', '0', '0', '\n', 'K', '1', '.', '\n'});
    EXPECT_EQ(readBestGame(file), std::nullopt) << "the game of another score";

    // A folder that cannot be made, and one that cannot be read or removed in the file's place: the
    // save fails naming it, and writes nothing beside it.
    scratch.write("in-the-way/best-score/inside", {});
    for (const fs::path& cannot : {fs::path(scratch.write("blocked", {})) / "best-score",
                                   fs::path(scratch.path("in-the-way/best-score"))}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(saveBestScore(cannot, 10, "K1.x"), SaveOutcome::failed);
        EXPECT_EQ(forgetBestScore(cannot), !fs::exists(cannot));
        EXPECT_NE(testing::internal::GetCapturedStderr().find(cannot.string()), std::string::npos);
        EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path("in-the-way")), {}), 1);
    }

    scratch.write("data/kestrilon/best-score.tmp", {'9'});
    scratch.write("data/kestrilon/best-game.tmp", {'9'});
    EXPECT_TRUE(forgetBestScore(file));
    EXPECT_TRUE(fs::is_empty(folder)) << "a save cut short leaves nothing once forgotten";
    // A folder in the way of the game or at a temporary name: the score is saved all the same, a
    // game that cannot be written is said once, and --forget-best clears the temporary names.
    for (const std::string name : {"best-game", "best-game.tmp", "best-score.tmp"}) {
        const bool blocked = name == "best-game";
        fs::create_directories(folder / name / "inside");
        testing::internal::CaptureStderr();
        EXPECT_EQ(saveBestScore(file, 7000, "K1.x"),
                  blocked ? SaveOutcome::savedWithoutGame : SaveOutcome::saved);
        EXPECT_EQ(contents(file) + readBestGame(file).value_or("-"),
                  blocked ? "7000\n-" : "7000\nK1.x");
        EXPECT_EQ(forgetBestScore(file), !blocked) << name;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), blocked ? 2 : 0) << name << said;
        EXPECT_EQ(fs::remove_all(folder / name), blocked ? 2u : 0u) << name;
    }
    EXPECT_EQ(scoreToKeep(4500), 4500u);
    for (const double notKept : {0.0, 10.5, 1e15, -10.0}) {
        EXPECT_EQ(scoreToKeep(notKept), std::nullopt) << notKept;
    }
}

TEST(BestScore, ASaveWaitsForAnotherCopyAndForAProgramHoldingTheFileOpen) {
    ScratchDir scratch;
    const fs::path file = scratch.write("kestrilon/best-score", {'1', '2', '0', '\n'});
    const auto saveSoon = [&file](std::uint64_t score) {
        return std::async(std::launch::async,
                          [&file, score] { return saveBestScore(file, score, ""); });
    };
    std::future<SaveOutcome> lower;
    {
        const platform::SavedFilesLock otherCopy(file.parent_path());
        lower = saveSoon(300);
        EXPECT_EQ(lower.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
        scratch.write("kestrilon/best-score", {'9', '0', '0', '0', '\n'});
    }
    EXPECT_EQ(lower.get(), SaveOutcome::higherKept) << "the other copy's higher score is kept";
    auto reader = std::make_unique<std::ifstream>(file); // on Windows, not shared for deletion
    std::future<SaveOutcome> higher = saveSoon(9999);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    reader.reset();
    EXPECT_EQ(higher.get(), SaveOutcome::saved);
    EXPECT_EQ(contents(file), "9999\n");
}

} // namespace
