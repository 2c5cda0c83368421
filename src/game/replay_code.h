// A game as a replay code: its seed and the keys it read, as one short URL-safe text that every
// build writes and reads alike. Pure functions, callable from any thread.
//
// The code is "K1." and the base64url (no padding) of: the number of bytes after this one varint;
// the seed; the number of keys; per key one varint of (reads skipped since the previous key) * 5 +
// k, k being X, Z, E, Enter as 0..3, or 4 with the key's byte after it; last, a CRC-16 (CCITT) of
// all before it, high byte first. Varints are little-endian groups of seven bits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One key the game read: `read` counts the game's key reads from its start (see game_keys.h).
struct ReplayKey {
    std::uint32_t read = 0;
    std::uint8_t code = 0;

    bool operator==(const ReplayKey&) const = default;
};

struct Replay {
    std::uint32_t seed = 0;
    // In the order read, each read at most once, no code 0.
    std::vector<ReplayKey> keys;

    bool operator==(const Replay&) const = default;
};

// A text longer than this is refused unread: no game played by hand comes near it.
inline constexpr std::size_t kMaxReplayCode = 64 * 1024;

enum class ReplayFault { none, damaged, truncated, foreignVersion, oversized };

struct DecodedReplay {
    Replay replay;
    ReplayFault fault = ReplayFault::none;
};

std::string encodeReplay(const Replay& replay);

// Strict: anything but a code encodeReplay could have written is refused with its fault.
DecodedReplay decodeReplay(std::string_view code);

// Whether the text begins as a code of some version does: "K", digits, ".".
bool looksLikeReplayCode(std::string_view text);

// Why a code was refused, for the player: "the replay code is damaged", ...
std::string_view faultText(ReplayFault fault);
