#include "table/player_name.h"

namespace table {
namespace {

bool allowed(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '-' || c == '_' || c == '.';
}

} // namespace

std::optional<std::string> playerName(std::string_view given, std::string& problem) {
    const std::size_t first = given.find_first_not_of(' ');
    const std::string_view name =
        first == std::string_view::npos
            ? std::string_view()
            : given.substr(first, given.find_last_not_of(' ') - first + 1);
    if (name.empty()) {
        problem = "the name is empty";
        return std::nullopt;
    }
    if (name.size() > kMaxNameLength) {
        problem = "the name is longer than 16 characters";
        return std::nullopt;
    }
    for (const char c : name) {
        if (!allowed(c)) {
            problem = "the name may hold only letters, digits, spaces, '-', '_' and '.'";
            return std::nullopt;
        }
    }
    return std::string(name);
}

} // namespace table
