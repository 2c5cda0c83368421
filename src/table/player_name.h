// The name a player gives with a game: 1-16 letters, digits, spaces, '-', '_' or '.', spaces at
// either end trimmed. Anything else is refused with the reason, never repaired.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace table {

inline constexpr std::size_t kMaxNameLength = 16;

// The name to store, or std::nullopt with `problem` set.
std::optional<std::string> playerName(std::string_view given, std::string& problem);

} // namespace table
