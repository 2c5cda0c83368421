#include "game/replay_code.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view kPrefix = "K1.";
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
// X, Z, E and Enter, the keys of play, take no byte of their own.
constexpr std::array<std::uint8_t, 4> kCommonKeys = {'X', 'Z', 'E', 13};
constexpr std::uint32_t kOtherKey = kCommonKeys.size();
constexpr std::uint32_t kKeyKinds = kCommonKeys.size() + 1;
constexpr std::size_t kCheckBytes = 2;

using Bytes = std::vector<std::uint8_t>;

std::uint16_t crc16(const Bytes& bytes, std::size_t length) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= static_cast<std::uint16_t>(bytes[i] << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

void putVarint(Bytes& out, std::uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(value));
}

std::string toBase64Url(const Bytes& bytes) {
    std::string text;
    std::uint32_t bits = 0;
    int held = 0;
    for (const std::uint8_t byte : bytes) {
        bits = (bits << 8) | byte;
        held += 8;
        while (held >= 6) {
            held -= 6;
            text.push_back(kAlphabet[(bits >> held) & 63]);
        }
    }
    if (held > 0) {
        text.push_back(kAlphabet[(bits << (6 - held)) & 63]);
    }
    return text;
}

// Reads the bytes back; a stray character is damage. Stray low bits in the last one are told
// apart (`strayBits`): a code cut short has them too, and is told as such.
ReplayFault fromBase64Url(std::string_view text, Bytes& bytes, bool& strayBits) {
    if (text.size() % 4 == 1) {
        return ReplayFault::truncated;
    }
    bytes.reserve(text.size() / 4 * 3 + 2);
    std::uint32_t bits = 0;
    int held = 0;
    for (const char c : text) {
        const std::size_t value = kAlphabet.find(c);
        if (value == std::string_view::npos) {
            return ReplayFault::damaged;
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<std::uint8_t>(bits >> held));
        }
    }
    strayBits = (bits & ((1u << held) - 1)) != 0;
    return ReplayFault::none;
}

// Takes varints and bytes off the front, telling a cut-off end from a malformed value.
class Reader {
  public:
    Reader(const Bytes& bytes, std::size_t at, std::size_t end)
        : bytes_(bytes), end_(end), at_(at) {}

    std::size_t at() const { return at_; }
    std::size_t left() const { return end_ - at_; }

    // At most `max` (below 2^35) in at most five groups, with no needless group.
    ReplayFault varint(std::uint64_t& value, std::uint64_t max) {
        value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (at_ == end_) {
                return ReplayFault::truncated;
            }
            const std::uint8_t byte = bytes_[at_++];
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                const bool canonical = byte != 0 || shift == 0;
                return canonical && value <= max ? ReplayFault::none : ReplayFault::damaged;
            }
        }
        return ReplayFault::damaged;
    }

    ReplayFault byte(std::uint8_t& value) {
        if (at_ == end_) {
            return ReplayFault::truncated;
        }
        value = bytes_[at_++];
        return ReplayFault::none;
    }

  private:
    const Bytes& bytes_;
    const std::size_t end_;
    std::size_t at_;
};

ReplayFault readKey(Reader& reader, std::uint64_t& nextRead, ReplayKey& key) {
    std::uint64_t packed = 0;
    const std::uint64_t most = std::uint64_t{UINT32_MAX} * kKeyKinds + kOtherKey;
    if (const ReplayFault fault = reader.varint(packed, most); fault != ReplayFault::none) {
        return fault;
    }
    const std::uint64_t read = nextRead + packed / kKeyKinds;
    if (read > UINT32_MAX) {
        return ReplayFault::damaged;
    }
    key.readsBefore = static_cast<std::uint32_t>(read);
    nextRead = read + 1;
    if (packed % kKeyKinds != kOtherKey) {
        key.code = kCommonKeys[packed % kKeyKinds];
        return ReplayFault::none;
    }
    if (const ReplayFault fault = reader.byte(key.code); fault != ReplayFault::none) {
        return fault;
    }
    const bool common =
        std::find(kCommonKeys.begin(), kCommonKeys.end(), key.code) != kCommonKeys.end();
    return key.code == 0 || common ? ReplayFault::damaged : ReplayFault::none;
}

// The body, once the framing and the check have vouched for its bytes: what is wrong in it now
// was written so, and is damage.
ReplayFault readKeys(Reader reader, Replay& replay) {
    std::uint64_t seed = 0;
    std::uint64_t count = 0;
    if (reader.varint(seed, UINT32_MAX) != ReplayFault::none ||
        reader.varint(count, reader.left()) != ReplayFault::none) {
        return ReplayFault::damaged;
    }
    replay.seed = static_cast<std::uint32_t>(seed);
    // Every key takes a byte at least, so the count is bounded by the data before it is reserved:
    // a count larger than the bytes left is damage, never memory asked for.
    replay.keys.resize(count);
    std::uint64_t nextRead = 0;
    for (ReplayKey& key : replay.keys) {
        if (readKey(reader, nextRead, key) != ReplayFault::none) {
            return ReplayFault::damaged;
        }
    }
    return reader.left() == 0 ? ReplayFault::none : ReplayFault::damaged;
}

// The length first tells a code cut short from one changed; the check then vouches for the rest.
ReplayFault readBody(const Bytes& bytes, Replay& replay) {
    Reader framing(bytes, 0, bytes.size());
    std::uint64_t length = 0;
    if (const ReplayFault fault = framing.varint(length, kMaxReplayCode);
        fault != ReplayFault::none) {
        return fault;
    }
    if (length != framing.left()) {
        return length > framing.left() ? ReplayFault::truncated : ReplayFault::damaged;
    }
    if (length < kCheckBytes) {
        return ReplayFault::damaged;
    }
    const std::size_t end = bytes.size() - kCheckBytes;
    const std::uint16_t stored = static_cast<std::uint16_t>((bytes[end] << 8) | bytes[end + 1]);
    if (stored != crc16(bytes, end)) {
        return ReplayFault::damaged;
    }
    return readKeys(Reader(bytes, framing.at(), end), replay);
}

} // namespace

std::string frameReplayBody(const Bytes& body) {
    Bytes bytes;
    bytes.reserve(body.size() + 8);
    putVarint(bytes, body.size() + kCheckBytes);
    bytes.insert(bytes.end(), body.begin(), body.end());
    const std::uint16_t crc = crc16(bytes, bytes.size());
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    bytes.push_back(static_cast<std::uint8_t>(crc));
    return std::string(kPrefix) + toBase64Url(bytes);
}

std::string encodeReplay(const Replay& replay) {
    // Past this many bytes of body, the code is over the cap whatever follows.
    constexpr std::size_t kMostBody = (kMaxReplayCode - kPrefix.size()) / 4 * 3;
    Bytes body;
    putVarint(body, replay.seed);
    putVarint(body, replay.keys.size());
    std::uint64_t nextRead = 0;
    for (const ReplayKey& key : replay.keys) {
        const auto* common = std::find(kCommonKeys.begin(), kCommonKeys.end(), key.code);
        const std::uint64_t kind = static_cast<std::uint64_t>(common - kCommonKeys.begin());
        putVarint(body, (key.readsBefore - nextRead) * kKeyKinds + kind);
        if (kind == kOtherKey) {
            body.push_back(key.code);
        }
        nextRead = std::uint64_t{key.readsBefore} + 1;
        if (body.size() > kMostBody) {
            return {};
        }
    }
    std::string code = frameReplayBody(body);
    return code.size() <= kMaxReplayCode ? code : std::string();
}

DecodedReplay decodeReplay(std::string_view code) {
    DecodedReplay decoded;
    // What a Windows editor writes as "Unicode": the text is there, but not as a code's bytes.
    if (code.starts_with("\xFF\xFE") || code.starts_with("\xFE\xFF") ||
        code.starts_with(std::string_view("K\0", 2)) ||
        code.starts_with(std::string_view("\0K", 2))) {
        decoded.fault = ReplayFault::utf16;
        return decoded;
    }
    if (code.size() > kMaxReplayCode || code.empty()) {
        decoded.fault = code.empty() ? ReplayFault::empty : ReplayFault::oversized;
        return decoded;
    }
    if (!code.starts_with(kPrefix)) {
        // "K<digits>." is a code of another version; anything else is not a code at all.
        decoded.fault =
            looksLikeReplayCode(code) ? ReplayFault::foreignVersion : ReplayFault::damaged;
        return decoded;
    }
    Bytes bytes;
    bool strayBits = false;
    decoded.fault = fromBase64Url(code.substr(kPrefix.size()), bytes, strayBits);
    if (decoded.fault == ReplayFault::none) {
        decoded.fault = readBody(bytes, decoded.replay);
    }
    if (decoded.fault == ReplayFault::none && strayBits) {
        decoded.fault = ReplayFault::damaged;
    }
    if (decoded.fault != ReplayFault::none) {
        decoded.replay = {};
    }
    return decoded;
}

std::string_view trimmedCode(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    constexpr std::string_view kSpace = " \t\r\n\v\f";
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

bool looksLikeReplayCode(std::string_view text) {
    const std::size_t dot = text.find('.');
    return text.starts_with('K') && dot != std::string_view::npos && dot > 1 &&
           std::all_of(text.begin() + 1, text.begin() + static_cast<std::ptrdiff_t>(dot),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::string faultText(ReplayFault fault) {
    switch (fault) {
    case ReplayFault::none:
        return "the replay code is good";
    case ReplayFault::empty:
        return "the replay code is empty";
    case ReplayFault::damaged:
        return "the replay code is damaged";
    case ReplayFault::truncated:
        return "the replay code is cut short";
    case ReplayFault::foreignVersion:
        return "the replay code is of another version of the game";
    case ReplayFault::oversized:
        return "the replay code is too long (over " + std::to_string(kMaxReplayCode) +
               " characters)";
    case ReplayFault::utf16:
        return "the replay code is UTF-16 text; save it as plain text (ASCII or UTF-8)";
    }
    return "the replay code is damaged";
}
