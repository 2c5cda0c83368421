#include "table/table_options.h"

#include <charconv>
#include <limits>
#include <string_view>

namespace table {
namespace {

bool whole(std::string_view text, std::int64_t least, std::int64_t most, std::int64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= least &&
           value <= most;
}

bool number(std::string_view text, int least, int most, int& value) {
    std::int64_t wide = 0;
    if (!whole(text, least, most, wide)) {
        return false;
    }
    value = static_cast<int>(wide);
    return true;
}

} // namespace

std::optional<TableOptions> parseTableOptions(int argc, char** argv, std::string& problem) {
    TableOptions options;
    int i = 1;
    if (argc > 1 &&
        (std::string_view(argv[1]) == "hide" || std::string_view(argv[1]) == "unhide")) {
        options.action = std::string_view(argv[1]) == "hide" ? TableOptions::Action::hide
                                                             : TableOptions::Action::unhide;
        if (argc < 3 || !whole(argv[2], 1, std::numeric_limits<std::int64_t>::max(), options.id)) {
            problem = std::string(argv[1]) + " takes the id of an entry";
            return std::nullopt;
        }
        i = 3;
    }
    const bool serving = options.action == TableOptions::Action::serve;
    for (; i < argc; ++i) {
        const std::string_view flag = argv[i];
        if (flag == "--forwarded-for" && serving) {
            options.forwardedFor = true;
            continue;
        }
        if (i + 1 >= argc) {
            problem = "missing value after " + std::string(flag);
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        int milliseconds = 0;
        bool good = true;
        if (flag == "--data") {
            options.data = value;
        } else if (flag == "--database") {
            options.database = value;
        } else if (!serving) {
            problem = std::string(argv[1]) + " takes only --data or --database";
            return std::nullopt;
        } else if (flag == "--listen") {
            const std::size_t colon = value.rfind(':');
            good = colon != std::string_view::npos && colon > 0 &&
                   number(value.substr(colon + 1), 1, 65535, options.port);
            options.host = value.substr(0, colon);
        } else if (flag == "--page") {
            options.page = value;
        } else if (flag == "--simulator") {
            options.simulator = value;
        } else if (flag == "--workers") {
            good = number(value, 1, 256, options.workers);
        } else if (flag == "--threads") {
            good = number(value, 1, 1024, options.threads);
        } else if (flag == "--rate") {
            good = number(value, 0, 1000000, options.rate);
        } else if (flag == "--time-limit") {
            good = number(value, 1, 600000, milliseconds);
            options.timeLimit = std::chrono::milliseconds(milliseconds);
        } else {
            problem = "unknown option " + std::string(flag);
            return std::nullopt;
        }
        if (!good) {
            problem = "bad value for " + std::string(flag) + ": " + std::string(value);
            return std::nullopt;
        }
    }
    return options;
}

} // namespace table
