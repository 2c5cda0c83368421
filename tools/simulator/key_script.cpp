#include "key_script.h"

#include <array>
#include <charconv>
#include <limits>
#include <sstream>
#include <string_view>
#include <utility>

namespace sim {
namespace {

constexpr std::array<std::pair<std::string_view, std::uint8_t>, 5> kKeyNames{{
    {"Enter", 13},
    {"X", 0x58},
    {"Z", 0x5A},
    {"E", 0x45},
    {"Shift", 16},
}};

// A whole token of decimal digits, nothing else, within max.
bool parseNumber(std::string_view token, std::uint64_t max, std::uint64_t& value) {
    if (token.empty()) {
        return false;
    }
    const auto [end, status] = std::from_chars(token.data(), token.data() + token.size(), value);
    return status == std::errc() && end == token.data() + token.size() && value <= max;
}

bool parseKey(std::string_view token, std::uint8_t& code) {
    for (const auto& [name, value] : kKeyNames) {
        if (token == name) {
            code = value;
            return true;
        }
    }
    std::uint64_t number = 0;
    if (parseNumber(token, 255, number) && number >= 1) {
        code = static_cast<std::uint8_t>(number);
        return true;
    }
    return false;
}

} // namespace

bool parseKeyScript(std::istream& in, std::vector<ScriptedKey>& keys, ScriptError& error) {
    keys.clear();
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (const auto hash = line.find('#'); hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream words(line);
        std::string time;
        std::string key;
        std::string extra;
        if (!(words >> time)) {
            continue;
        }
        auto fail = [&](std::string message) {
            error = {lineNumber, std::move(message)};
            return false;
        };
        if (!(words >> key) || (words >> extra)) {
            return fail("expected \"<ms> <key>\"");
        }
        ScriptedKey scripted;
        if (!parseNumber(time, std::numeric_limits<std::uint32_t>::max(), scripted.ms)) {
            return fail("the time \"" + time + "\" is not a whole number of milliseconds (0-4294967295)");
        }
        if (!keys.empty() && scripted.ms < keys.back().ms) {
            return fail("the time " + time + " is earlier than the key before it");
        }
        if (!parseKey(key, scripted.code)) {
            return fail("unknown key \"" + key + "\" (Enter, X, Z, E, Shift or a code 1-255)");
        }
        keys.push_back(scripted);
    }
    return true;
}

} // namespace sim
