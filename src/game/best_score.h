// The best score, kept between games in a file of its own holding the score in decimal and a
// newline, nothing else: reading and checking it, saving a higher one, forgetting it. Beside it,
// "best-game" keeps the code of the game that made it ("<score>\n<code>\n"), which counts only
// while its score is the one in the best score's file: a save writes the score first, then the
// game, so a save cut short, or a game that cannot be written, leaves at worst a best score with
// no game.
//
// Reading and saving wait for the disk (platform/saved_file.h). The game reads once at start-up,
// on the game thread before the first frame, and saves through saveBestScoreSoon, whose own
// thread does the waiting: a save may take as long as the disk likes without holding up a frame.
// The window thread never touches the file, and the simulator and the headless runner never ask
// for it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// "<the system's folder for the game's files>/best-score"; empty, with `error` saying why, when
// the system names no such folder.
std::filesystem::path bestScoreFile(std::string& error);

// The file's name for messages and help: UTF-8 on every system (string() may throw on Windows).
std::string messageName(const std::filesystem::path& file);

// A game's score as the file keeps it: a whole score above 0 that the readout shows in plain
// digits; std::nullopt for any other.
std::optional<std::uint64_t> scoreToKeep(double score);

// The file's text as a score: 1 to 15 decimal digits and a line end ("\n", "\r\n" or none), not 0,
// which is never kept.
std::optional<std::uint64_t> parseBestScore(std::string_view text);

// The best score in `file`. std::nullopt when there is none: silently when there is no file; with
// one line on stderr naming the file when it is empty, damaged or absurd (not a number,
// negative, more digits than a score has, binary) or cannot be read.
std::optional<std::uint64_t> readBestScore(const std::filesystem::path& file);

// The code of the game kept with the best score in `file`, when there is one and it belongs to the
// score the file holds now; quietly std::nullopt otherwise. Its text is trimmed as every code's
// is (trimmedCode), so an editor's "\r\n" or byte-order mark costs no game.
std::optional<std::string> readBestGame(const std::filesystem::path& file);

enum class SaveOutcome { saved, higherKept, failed, savedWithoutGame };

// Makes `score` the best in `file`, with the game that made it (`gameCode`, one line of printable
// ASCII; empty, or anything else, keeps no game and removes an older one), unless the file holds
// one at least as high (another copy of the game may have saved meanwhile), or the file cannot be
// read. Copies of the game save one at a time. A failure, or a game that cannot be written (the
// score is kept all the same), costs one line where the player sees it, said once the save has
// let go of its locks, and nothing else.
SaveOutcome saveBestScore(const std::filesystem::path& file, std::uint64_t score,
                          std::string_view gameCode);

// saveBestScore on a thread of its own, returning at once; saves run one after another, and the
// end of the process waits for them (platform/process_exit.h).
void saveBestScoreSoon(const std::filesystem::path& file, std::uint64_t score,
                       std::string gameCode);

// Removes the file, the game kept with it and whatever is at their temporary names (a file a
// save cut short left, a folder in the way). False, with a line on stderr for each, when one of
// them is there and cannot be removed.
bool forgetBestScore(const std::filesystem::path& file);
