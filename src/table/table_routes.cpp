#include "table/table_routes.h"

#include "table/open_days.h"
#include "table/page_cache.h"
#include "table/player_name.h"

#include "game/daily_game.h"
#include "game/replay_code.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <limits>

namespace table {
namespace {

using nlohmann::json;

constexpr std::int64_t kPageRows = 50;
constexpr std::int64_t kMostRows = 100;

json entryJson(const Entry& entry) {
    return {{"rank", entry.rank},
            {"id", entry.id},
            {"name", entry.name},
            {"score", entry.score},
            {"stage", entry.stage},
            {"keys", entry.keys},
            {"when", entry.when},
            {"code", entry.code},
            {"day", entry.day ? json(*entry.day) : json(nullptr)},
            {"dayRank", entry.dayRank}};
}

void reply(httplib::Response& response, int status, const json& body) {
    response.status = status;
    response.set_content(body.dump(), "application/json");
}

void refuse(httplib::Response& response, int status, std::string_view why) {
    reply(response, status, {{"error", why}});
}

// A whole number 0..most, or std::nullopt.
std::optional<std::int64_t> whole(const std::string& text, std::int64_t most) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > most) {
        return std::nullopt;
    }
    return value;
}

std::string clientAddress(const httplib::Request& request, bool forwardedFor) {
    if (forwardedFor && request.has_header("X-Forwarded-For")) {
        const std::string chain = request.get_header_value("X-Forwarded-For");
        const std::size_t comma = chain.rfind(',');
        const std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
        const std::size_t first = last.find_first_not_of(' ');
        return first == std::string::npos ? request.remote_addr : last.substr(first);
    }
    return request.remote_addr;
}

// What a client wrote, fit for a line of the log: no control character gets through to a
// terminal or splits the line.
std::string printable(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == '"') {
            c = '?';
        }
    }
    return text;
}

void logRequest(const httplib::Request& request, const httplib::Response& response,
                bool forwardedFor) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char when[40];
    std::strftime(when, sizeof when, "%d/%b/%Y:%H:%M:%S +0000", &utc);
    const std::string line =
        printable(clientAddress(request, forwardedFor)) + " - - [" + when + "] \"" +
        printable(request.method + " " + request.target + " " + request.version) + "\" " +
        std::to_string(response.status) + " " + std::to_string(response.body.size()) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

class Routes {
  public:
    Routes(Storage& storage, WorkerPool& workers, SubmissionLimit& limit,
           const RouteSettings& settings)
        : storage_(storage), workers_(workers), limit_(limit), settings_(settings) {}

    void submit(const httplib::Request& request, httplib::Response& response) {
        if (const int wait = limit_.secondsToWait(clientAddress(request, settings_.forwardedFor))) {
            response.set_header("Retry-After", std::to_string(wait));
            refuse(response, 429,
                   "too many games from this address: try again in " + std::to_string(wait) + " s");
            return;
        }
        const json body = json::parse(request.body, nullptr, false);
        if (body.is_discarded() || !body.is_object()) {
            refuse(response, 400, "the body is not a JSON object");
            return;
        }
        const auto code = body.find("code");
        const auto name = body.find("name");
        if (code == body.end() || !code->is_string() || name == body.end() || !name->is_string()) {
            refuse(response, 400, "the body needs \"code\" and \"name\", both strings");
            return;
        }
        std::string problem;
        std::optional<std::string> player =
            playerName(name->get_ref<const std::string&>(), problem);
        if (!player) {
            refuse(response, 400, problem);
            return;
        }
        // Kept as every build reads a code, so a code pasted with a line end is the same entry.
        const std::string text(trimmedCode(code->get_ref<const std::string&>()));
        // The decoder refuses at once what is no code at all; only a sound code costs a worker.
        const DecodedReplay decoded = decodeReplay(text);
        if (decoded.fault != ReplayFault::none) {
            refuse(response, 400, faultText(decoded.fault));
            return;
        }
        if (std::optional<Entry> known = storage_.byCode(text)) {
            answerKnown(response, *known);
            return;
        }
        const Verdict verdict = workers_.verify(text);
        if (!verdict.played) {
            refuse(response, 422, verdict.reason);
            return;
        }
        // Filed under a day as it arrives, not as it was played: the day's board is open for as
        // long as the day lasts somewhere, and a game sent later is on the all-time board only.
        const std::optional<std::chrono::year_month_day> day =
            dayOfSeed(decoded.replay.seed, std::chrono::system_clock::now());
        const Storage::Inserted stored =
            storage_.insert({*player, text, verdict.score, verdict.stage,
                             static_cast<std::int64_t>(decoded.replay.keys.size()),
                             day ? std::optional(calendarDateText(*day)) : std::nullopt});
        if (!stored.created) {
            answerKnown(response, stored.entry);
            return;
        }
        pages_.forget();
        reply(response, 201, entryJson(stored.entry));
    }

    void list(const httplib::Request& request, httplib::Response& response) {
        const std::optional<std::int64_t> limit =
            request.has_param("limit") ? whole(request.get_param_value("limit"), kMostRows)
                                       : kPageRows;
        const std::optional<std::int64_t> offset =
            request.has_param("offset")
                ? whole(request.get_param_value("offset"), std::int64_t{1} << 40)
                : 0;
        if (!limit || !offset) {
            refuse(response, 400, "limit is 0-100 and offset a whole number");
            return;
        }
        std::string day;
        if (request.has_param("day")) {
            const auto date = parseCalendarDate(request.get_param_value("day"));
            if (!date) {
                refuse(response, 400, "the day is not a date (YYYY-MM-DD)");
                return;
            }
            day = calendarDateText(*date);
        }
        const PageCache::Body body = pages_.page(day, *limit, *offset, [&] {
            // One row more than asked tells whether another page follows.
            std::vector<Entry> entries = day.empty() ? storage_.page(*limit + 1, *offset)
                                                     : storage_.dayPage(day, *limit + 1, *offset);
            const bool more = static_cast<std::int64_t>(entries.size()) > *limit;
            json games = json::array();
            for (std::size_t i = 0; i < entries.size() && static_cast<std::int64_t>(i) < *limit;
                 ++i) {
                games.push_back(entryJson(entries[i]));
            }
            return json{{"games", std::move(games)}, {"more", more}}.dump();
        });
        response.set_content(*body, "application/json");
    }

    void one(const httplib::Request& request, httplib::Response& response) {
        const std::optional<std::int64_t> id =
            whole(request.matches[1], std::numeric_limits<std::int64_t>::max());
        const std::optional<Entry> entry = id ? storage_.byId(*id) : std::nullopt;
        if (!entry || entry->hidden) {
            refuse(response, 404, "no such game in the table");
            return;
        }
        reply(response, 200, entryJson(*entry));
    }

    static void info(httplib::Response& response) {
        const auto now = std::chrono::system_clock::now();
        json days = json::array();
        for (const std::chrono::year_month_day day : openDays(now)) {
            days.push_back(calendarDateText(day));
        }
        reply(response, 200,
              {{"table", "kestrilon"},
               {"today", calendarDateText(utcDate(now))},
               {"days", std::move(days)}});
    }

    void health(httplib::Response& response) {
        storage_.page(1, 0);
        reply(response, 200, {{"status", "ok"}});
    }

  private:
    static void answerKnown(httplib::Response& response, const Entry& entry) {
        if (entry.hidden) {
            refuse(response, 403, "this game was taken down from the table");
            return;
        }
        reply(response, 200, entryJson(entry));
    }

    Storage& storage_;
    WorkerPool& workers_;
    SubmissionLimit& limit_;
    const RouteSettings settings_;
    PageCache pages_;
};

} // namespace

void addTableRoutes(httplib::Server& server, Storage& storage, WorkerPool& workers,
                    SubmissionLimit& limit, const RouteSettings& settings) {
    auto routes = std::make_shared<Routes>(storage, workers, limit, settings);
    server.Post("/api/games",
                [routes](const httplib::Request& request, httplib::Response& response) {
                    routes->submit(request, response);
                });
    server.Get("/api/games",
               [routes](const httplib::Request& request, httplib::Response& response) {
                   routes->list(request, response);
               });
    server.Get(R"(/api/games/([0-9]{1,19}))",
               [routes](const httplib::Request& request, httplib::Response& response) {
                   routes->one(request, response);
               });
    server.Get("/api/info", [](const httplib::Request&, httplib::Response& response) {
        Routes::info(response);
    });
    server.Get("/healthz", [routes](const httplib::Request&, httplib::Response& response) {
        routes->health(response);
    });
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr thrown) {
            try {
                std::rethrow_exception(thrown);
            } catch (const std::exception& error) {
                std::fprintf(stderr, "kestrilon-table: %s\n", error.what());
            }
            refuse(response, 503, "the table cannot be reached now");
        });
    // Every refusal the library makes itself (a body too large, an unknown path) in JSON too.
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        if (response.body.empty()) {
            refuse(response, response.status,
                   response.status == 404   ? "no such page"
                   : response.status == 413 ? "the request is too large"
                                            : "the request was refused");
        }
    });
    const bool forwardedFor = settings.forwardedFor;
    server.set_logger(
        [forwardedFor](const httplib::Request& request, const httplib::Response& response) {
            logRequest(request, response, forwardedFor);
        });
    server.set_default_headers({{"X-Content-Type-Options", "nosniff"}});
}

} // namespace table
