// The simulator's key script: one key a line, "<ms> <key>", ms counted from the start of the game.
#pragma once

#include "script_input.h"

#include <cstdint>
#include <istream>
#include <vector>

namespace sim {

// Virtual time a script may reach, keys and --until alike.
inline constexpr std::uint64_t kMaxScriptMs = script::kMaxMs;

struct ScriptedKey {
    std::uint64_t ms = 0;
    std::uint8_t code = 0; // a virtual-key code
};

using ScriptError = script::Error;

// Reads a whole script. Blank lines and text after '#' are ignored; a key is a name (Enter, X,
// Z, E, Shift) or a decimal code 1..255; times run from 0 to kMaxScriptMs and may not decrease.
// On a malformed line returns false and says which line and why.
bool parseKeyScript(std::istream& in, std::vector<ScriptedKey>& keys, ScriptError& error);

} // namespace sim
