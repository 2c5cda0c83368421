// A replay named on a command line: the code itself, or a file holding one.
//
// Text that begins like a code ("K", digits, ".") once trimmed (trimmedCode) is taken as one;
// anything else names a file (a file whose name looks like a code is named "./K1..."). The file
// holds the code, trimmed the same way. A blank argument is an empty code. Any thread.
#pragma once

#include "game/replay_code.h"

#include <optional>
#include <string>
#include <string_view>

// The replay, or std::nullopt with `problem` saying why not, for a line on stderr.
std::optional<Replay> replayFromArgument(std::string_view argument, std::string& problem);
