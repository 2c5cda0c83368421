#include "key_script.h"

#include <array>
#include <string>
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

bool parseKey(std::string_view token, std::uint8_t& code) {
    for (const auto& [name, value] : kKeyNames) {
        if (token == name) {
            code = value;
            return true;
        }
    }
    std::uint64_t number = 0;
    if (script::parseWhole(token, 255, number) && number >= 1) {
        code = static_cast<std::uint8_t>(number);
        return true;
    }
    return false;
}

} // namespace

bool parseKeyScript(std::istream& in, std::vector<ScriptedKey>& keys, ScriptError& error) {
    keys.clear();
    script::LineReader lines(in);
    std::vector<std::string> words;
    for (;;) {
        switch (lines.next(words, error)) {
        case script::LineReader::Read::End:
            return true;
        case script::LineReader::Read::Failed:
            return false;
        case script::LineReader::Read::Words:
            break;
        }
        auto fail = [&](std::string message) {
            error = {lines.lineNumber(), std::move(message)};
            return false;
        };
        if (words.size() != 2) {
            return fail("expected \"<ms> <key>\"");
        }
        ScriptedKey scripted;
        if (!script::parseWhole(words[0], kMaxScriptMs, scripted.ms)) {
            return fail("the time " + script::quoted(words[0]) +
                        " is not a whole number of milliseconds (0-" +
                        std::to_string(kMaxScriptMs) + ", 24 hours)");
        }
        if (!keys.empty() && scripted.ms < keys.back().ms) {
            return fail("the time " + words[0] + " is earlier than the key before it");
        }
        if (!parseKey(words[1], scripted.code)) {
            return fail("unknown key " + script::quoted(words[1]) +
                        " (Enter, X, Z, E, Shift or a code 1-255)");
        }
        keys.push_back(scripted);
    }
}

} // namespace sim
