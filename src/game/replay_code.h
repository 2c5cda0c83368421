// A game as a replay code: its seed and the keys it read, as one short URL-safe text that every
// build writes and reads alike. Pure functions, callable from any thread.
//
// The code is "K1." and the base64url (no padding) of: the number of bytes after this one varint;
// the seed; the number of keys; per key one varint of (reads skipped since the previous key) * 5 +
// k, k being X, Z, E, Enter as 0..3, or 4 with the key's byte after it; last, a CRC-16 (CCITT) of
// all before it, high byte first. Varints are little-endian groups of seven bits.
//
// The prefix names the game a code plays, not only its bytes: a code is the same game on every
// build that takes its prefix. A change to the game's flow, its random source or its timing that
// changes what the simulator prints for the pinned code (tests/tools/simulator_test.cpp) changes
// the prefix too, so that no old code plays a game its player never played.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One key the game read.
struct ReplayKey {
    // How many key reads the game made before the one that met this key (see game_keys.h).
    std::uint32_t readsBefore = 0;
    std::uint8_t code = 0;

    bool operator==(const ReplayKey&) const = default;
};

struct Replay {
    std::uint32_t seed = 0;
    // In the order read, each read at most once, no code 0.
    std::vector<ReplayKey> keys;

    bool operator==(const Replay&) const = default;
};

// The longest code, in characters. A game of the keys of play with a key at every read the game
// makes (some 60 a second) for a whole day stays under it, and a held key (about 25 a second)
// for more than two; a longer text is refused unread, and a game whose code would be longer has
// none.
inline constexpr std::size_t kMaxReplayCode = 8 * 1024 * 1024;

enum class ReplayFault { none, empty, damaged, truncated, foreignVersion, oversized, utf16 };

struct DecodedReplay {
    Replay replay;
    ReplayFault fault = ReplayFault::none;
};

// The replay's code; empty when it would be longer than kMaxReplayCode.
std::string encodeReplay(const Replay& replay);

// The code of any `body`, framed as encodeReplay frames a replay's: its length, the check. The
// body need not be a replay's, so tests and fuzzers reach what the decoder checks past the frame.
std::string frameReplayBody(const std::vector<std::uint8_t>& body);

// Strict: anything but a code encodeReplay could have written is refused with its fault. Its
// memory stays proportional to the length of `code`.
DecodedReplay decodeReplay(std::string_view code);

// A code as it was read from anywhere (a command line, a file, the best game, a link): without a
// UTF-8 byte-order mark before it and white space around it. Every place that reads a code trims
// it so, and no other way.
std::string_view trimmedCode(std::string_view text);

// Whether the text begins as a code of some version does: "K", digits, ".".
bool looksLikeReplayCode(std::string_view text);

// Why a code was refused, for the player: "the replay code is damaged", ...
std::string faultText(ReplayFault fault);
