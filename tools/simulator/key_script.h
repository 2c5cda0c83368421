// The simulator's key script: one key a line, "<ms> <key>", ms counted from the start of the game.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace sim {

struct ScriptedKey {
    std::uint64_t ms = 0;
    std::uint8_t code = 0; // a virtual-key code
};

struct ScriptError {
    int line = 0;
    std::string message;
};

// Reads a whole script. Blank lines and text after '#' are ignored; a key is a name (Enter, X,
// Z, E, Shift) or a decimal code 1..255; times may not decrease. On a malformed line returns
// false and says which line and why.
bool parseKeyScript(std::istream& in, std::vector<ScriptedKey>& keys, ScriptError& error);

} // namespace sim
