#include "game/best_score.h"

#include "game/replay_code.h"
#include "platform/player_message.h"
#include "platform/process_exit.h"
#include "platform/saved_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// The readout writes a score in plain digits up to 15 of them; a longer one is not a score of
// this game.
constexpr std::size_t kMaxDigits = 15;
constexpr double kFirstUnshown = 1e15;
// The longest file that can hold a score: the digits and "\r\n".
constexpr std::size_t kMaxFileBytes = kMaxDigits + 2;
// A game's file adds to its code the score's line and a line end, both maybe "\r\n", and maybe a
// byte-order mark: an editor may have been there.
constexpr std::size_t kMaxGameFileBytes = 3 + kMaxDigits + 2 + kMaxReplayCode + 2;

// Saves of this copy of the game take turns here before they take the folder's lock, which
// other copies share.
std::mutex savingLock;

// What a save did, and what the player is to be told of it once every lock is let go: a message
// box waiting for the player's OK must hold up neither other copies' saves nor a close.
struct SaveReport {
    SaveOutcome outcome;
    std::string problem;
};

std::filesystem::path bestGameFile(const std::filesystem::path& file) {
    return file.parent_path() / "best-game";
}

// The code is opaque here; one line of printable ASCII reads back as it was written.
bool isGameCode(std::string_view code) {
    return !code.empty() && code.size() <= kMaxReplayCode &&
           std::all_of(code.begin(), code.end(), [](char c) { return c > ' ' && c < '\x7f'; });
}

SaveReport saveFailed(const std::filesystem::path& file, std::uint64_t score,
                      const std::string& why) {
    return {SaveOutcome::failed, "cannot save the best score " + std::to_string(score) + " in " +
                                     messageName(file) + " (" + why + ")\n"};
}

SaveReport saveInTurn(const std::filesystem::path& file, std::uint64_t score,
                      std::string_view gameCode) {
    const std::lock_guard turn(savingLock);
    // Under the folder's lock from the reading of the kept score to the last rename, so that a
    // copy of the game saving meanwhile cannot slip a higher score in between.
    const platform::SavedFilesLock lock(file.parent_path());
    std::string error;
    const std::optional<std::string> text = platform::readSavedFile(file, kMaxFileBytes + 1, error);
    // Only a file that is missing or holds no score is replaced: one that cannot be read now
    // (a backup or a scanner holding it, a disk error) may hold a higher score.
    if (!text && !error.empty()) {
        return saveFailed(file, score, "the file there cannot be read: " + error);
    }
    if (const auto kept = text ? parseBestScore(*text) : std::nullopt; kept && *kept >= score) {
        return {SaveOutcome::higherKept, {}};
    }
    // The score first, as it is what the player cannot lose: from then on the game kept before
    // belongs to no score the file holds, and counts for nothing until the new one follows.
    const std::string scoreLine = std::to_string(score) + "\n";
    if (!platform::replaceSavedFile(file, scoreLine, error)) {
        return saveFailed(file, score, error);
    }
    const std::filesystem::path gameFile = bestGameFile(file);
    const bool withGame = isGameCode(gameCode);
    if (withGame &&
        platform::replaceSavedFile(gameFile, scoreLine + std::string(gameCode) + "\n", error)) {
        return {SaveOutcome::saved, {}};
    }
    // An older game belongs to no score the file holds now, and only takes room (in a page, the
    // storage other games share).
    std::string ignored;
    platform::removeSavedFile(gameFile, ignored);
    if (!withGame) {
        return {SaveOutcome::saved, {}};
    }
    return {SaveOutcome::savedWithoutGame, "the best score " + std::to_string(score) +
                                               " is saved, but not its game (" + error + ")\n"};
}

// Said where the player sees it: on Windows, a message box when the game has no console.
void tellOf(const SaveReport& report) {
    if (!report.problem.empty()) {
        platform::tellPlayer(platform::PlayerMessage::problem, report.problem);
    }
}

} // namespace

std::string messageName(const std::filesystem::path& file) {
    const std::u8string name = file.u8string();
    return {name.begin(), name.end()};
}

std::filesystem::path bestScoreFile(std::string& error) {
    std::filesystem::path folder = platform::savedFileFolder(error);
    return folder.empty() ? folder : folder / "best-score";
}

std::optional<std::uint64_t> scoreToKeep(double score) {
    if (!(score > 0 && score < kFirstUnshown) || std::trunc(score) != score) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(score);
}

std::optional<std::uint64_t> parseBestScore(std::string_view text) {
    for (const std::string_view lineEnd : {"\r\n", "\n"}) {
        if (text.ends_with(lineEnd)) {
            text.remove_suffix(lineEnd.size());
            break;
        }
    }
    if (text.empty() || text.size() > kMaxDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::uint64_t score = 0;
    for (const char digit : text) {
        score = score * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    // 0 is never kept, so it is no best score either.
    return score == 0 ? std::nullopt : std::optional(score);
}

std::optional<std::uint64_t> readBestScore(const std::filesystem::path& file) {
    std::string error;
    const std::optional<std::string> text = platform::readSavedFile(file, kMaxFileBytes + 1, error);
    if (!text) {
        if (!error.empty()) {
            std::fprintf(stderr, "kestrilon: cannot read the best score in %s (%s); none kept\n",
                         messageName(file).c_str(), error.c_str());
        }
        return std::nullopt;
    }
    const std::optional<std::uint64_t> score = parseBestScore(*text);
    if (!score) {
        std::fprintf(stderr, "kestrilon: %s does not hold a score; no best score so far\n",
                     messageName(file).c_str());
    }
    return score;
}

std::optional<std::string> readBestGame(const std::filesystem::path& file) {
    std::string error;
    const auto scoreText = platform::readSavedFile(file, kMaxFileBytes + 1, error);
    const auto gameText = platform::readSavedFile(bestGameFile(file), kMaxGameFileBytes + 1, error);
    if (!scoreText || !gameText) {
        return std::nullopt;
    }
    // Read as every code is read, so that an editor's line ends and byte-order mark leave it
    // the game it was.
    const std::string_view text = trimmedCode(*gameText);
    const std::size_t scoreEnd = text.find('\n') + 1;
    const std::optional<std::uint64_t> score = parseBestScore(*scoreText);
    if (scoreEnd == 0 || !score || parseBestScore(text.substr(0, scoreEnd)) != score) {
        return std::nullopt;
    }
    const std::string_view code = trimmedCode(text.substr(scoreEnd));
    return isGameCode(code) ? std::optional<std::string>(code) : std::nullopt;
}

SaveOutcome saveBestScore(const std::filesystem::path& file, std::uint64_t score,
                          std::string_view gameCode) {
    const SaveReport report = saveInTurn(file, score, gameCode);
    tellOf(report);
    return report.outcome;
}

void saveBestScoreSoon(const std::filesystem::path& file, std::uint64_t score,
                       std::string gameCode) {
    // Held from here, so that a close the moment after cannot miss the save; let go before the
    // player is told of a failure, which may wait for the player.
    auto save = [file, score, gameCode = std::move(gameCode),
                 hold = std::make_shared<platform::ExitHold>()]() mutable {
        const SaveReport report = saveInTurn(file, score, gameCode);
        hold.reset();
        tellOf(report);
    };
    try {
        std::thread(save).detach();
    } catch (const std::system_error&) {
        // No thread to be had, as in a page, which has none: the save runs here. In a page that is
        // the browser's storage, a matter of microseconds; on a desktop it is rare enough.
        save();
    }
}

bool forgetBestScore(const std::filesystem::path& file) {
    bool forgotten = true;
    const std::filesystem::path gameFile = bestGameFile(file);
    for (const std::filesystem::path& path : {file, gameFile}) {
        for (const auto remove : {platform::removeSavedFile, platform::removeSavedFileTemporary}) {
            std::string error;
            if (!remove(path, error)) {
                std::fprintf(stderr, "kestrilon: %s\n", error.c_str());
                forgotten = false;
            }
        }
    }
    return forgotten;
}
