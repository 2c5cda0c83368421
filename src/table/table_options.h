// The command line of kestrilon-table:
//   kestrilon-table [serve options]        serve the table
//   kestrilon-table hide|unhide ID [storage options]
// Storage: --data DIR (table.db there, "." by default) or --database URL (PostgreSQL).
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace table {

struct TableOptions {
    enum class Action { serve, hide, unhide } action = Action::serve;
    std::int64_t id = 0; // hide, unhide
    std::string host = "127.0.0.1";
    int port = 8080;
    std::filesystem::path page;
    std::filesystem::path data = ".";
    std::string database;
    std::filesystem::path simulator;
    int workers = 0; // 0: one per core
    int threads = 0; // 0: 8 a worker, at least 64
    int rate = 10;
    std::chrono::milliseconds timeLimit{2000};
    bool forwardedFor = false;
};

// The options, or std::nullopt with `problem` set for a usage line.
std::optional<TableOptions> parseTableOptions(int argc, char** argv, std::string& problem);

inline constexpr const char* kTableUsage =
    "usage: kestrilon-table [--listen HOST:PORT] [--page DIR] [--data DIR | --database URL]\n"
    "                       [--workers N] [--threads N] [--rate N] [--time-limit MS]\n"
    "                       [--simulator PATH] [--forwarded-for]\n"
    "       kestrilon-table hide|unhide ID [--data DIR | --database URL]\n";

} // namespace table
