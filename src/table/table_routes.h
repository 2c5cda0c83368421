// The table's HTTP face, JSON in and out:
//   POST /api/games {"code", "name"}  verify the game, store it: 201 with the entry, 200 with the
//                                     entry already holding that code, 400/422/429/503 with
//                                     {"error"}
//   GET /api/games?limit=N&offset=M   {"games": [entries best first], "more": whether rows follow},
//                                     at most a second old (page_cache.h); with &day=YYYY-MM-DD
//                                     that day's board, 400 for a day that is no date
//   GET /api/games/ID                 one entry
//   GET /api/info                     {"table": "kestrilon", "today": the UTC date, "days": the
//                                     days whose boards take games now, oldest first}
//   GET /healthz                      200 while the storage answers
//   anything else                     the files of the page folder
// An entry is {rank, id, name, score, stage, keys, when, code, day, dayRank}: day the board it is
// filed on ("YYYY-MM-DD", open_days.h) or null, dayRank its rank there (0 without a day). A line
// per request goes to stderr in the common log format. Handlers run on the server's threads;
// nothing here simulates.
#pragma once

#include "table/storage.h"
#include "table/submission_limit.h"
#include "table/worker_pool.h"

#include "game/replay_code.h"

#include <filesystem>

namespace httplib {
class Server;
}

namespace table {

// A submission is a code and a name: room for the longest code and a little JSON around it.
inline constexpr std::size_t kMaxBody = kMaxReplayCode + 1024;

struct RouteSettings {
    std::filesystem::path page;
    // Behind a reverse proxy, the client is the last address of X-Forwarded-For.
    bool forwardedFor = false;
};

void addTableRoutes(httplib::Server& server, Storage& storage, WorkerPool& workers,
                    SubmissionLimit& limit, const RouteSettings& settings);

} // namespace table
