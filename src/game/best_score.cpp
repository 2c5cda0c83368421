#include "game/best_score.h"

#include "platform/saved_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// The readout writes a score in plain digits up to 15 of them; a longer one is not a score of
// this game.
constexpr std::size_t kMaxDigits = 15;
constexpr double kFirstUnshown = 1e15;
// The longest file that can hold a score: the digits and "\r\n".
constexpr std::size_t kMaxFileBytes = kMaxDigits + 2;

// Saves share the temporary file beside the best score.
std::mutex savingLock;

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
    return score;
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

SaveOutcome saveBestScore(const std::filesystem::path& file, std::uint64_t score) {
    std::string error;
    // A file that cannot be read or holds no score is replaced, so it says nothing here.
    if (const auto text = platform::readSavedFile(file, kMaxFileBytes + 1, error)) {
        if (const auto kept = parseBestScore(*text); kept && *kept >= score) {
            return SaveOutcome::higherKept;
        }
    }
    if (!platform::replaceSavedFile(file, std::to_string(score) + "\n", error)) {
        std::fprintf(stderr, "kestrilon: cannot save the best score in %s (%s)\n",
                     messageName(file).c_str(), error.c_str());
        return SaveOutcome::failed;
    }
    return SaveOutcome::saved;
}

void saveBestScoreSoon(const std::filesystem::path& file, std::uint64_t score) {
    try {
        std::thread([file, score] {
            const std::lock_guard guard(savingLock);
            saveBestScore(file, score);
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had, as in a page, which has none: the save runs here. In a page that is
        // the browser's storage, a matter of microseconds; on a desktop it is rare enough.
        const std::lock_guard guard(savingLock);
        saveBestScore(file, score);
    }
}

bool forgetBestScore(const std::filesystem::path& file) {
    bool forgotten = true;
    for (const std::filesystem::path& path : {file, std::filesystem::path(file) += ".tmp"}) {
        std::error_code error;
        std::filesystem::remove(path, error);
        if (error) {
            std::fprintf(stderr, "kestrilon: cannot remove %s (%s)\n", messageName(path).c_str(),
                         error.message().c_str());
            forgotten = false;
        }
    }
    return forgotten;
}
