// kestrilon-table: the table of best games, each verified by playing it again (table_routes.h
// says what it serves, table_options.h how it is started). The composition root: reads the
// command line, opens the storage, starts the simulators and serves until SIGTERM or SIGINT, when
// the requests in flight finish before it exits.
#include "table/storage.h"
#include "table/submission_limit.h"
#include "table/table_options.h"
#include "table/table_routes.h"
#include "table/worker_pool.h"

#include "platform/program_location.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

#ifndef KESTRILON_TABLE_PAGE
#define KESTRILON_TABLE_PAGE "/usr/share/kestrilon-table/page"
#endif
#ifndef KESTRILON_TABLE_SIMULATOR
#define KESTRILON_TABLE_SIMULATOR "/usr/libexec/kestrilon-table/kestrilon-sim"
#endif

namespace {

// The simulator beside this program (a build tree), else the one installed for the table.
std::filesystem::path defaultSimulator() {
    const std::filesystem::path beside = platform::executableFolder() / "kestrilon-sim";
    std::error_code error;
    return std::filesystem::is_regular_file(beside, error) ? beside : KESTRILON_TABLE_SIMULATOR;
}

int hideOrShow(table::Storage& storage, const table::TableOptions& options) {
    const bool hide = options.action == table::TableOptions::Action::hide;
    if (!storage.setHidden(options.id, hide)) {
        std::fprintf(stderr, "kestrilon-table: no entry %lld\n",
                     static_cast<long long>(options.id));
        return 1;
    }
    std::printf("entry %lld %s\n", static_cast<long long>(options.id), hide ? "hidden" : "shown");
    return 0;
}

int serve(table::Storage& storage, const table::TableOptions& options) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int workerCount = options.workers > 0 ? options.workers : cores;
    table::WorkerPool workers(options.simulator.empty() ? defaultSimulator() : options.simulator,
                              workerCount, options.timeLimit);
    table::SubmissionLimit limit(options.rate);
    const std::filesystem::path page = options.page.empty() ? KESTRILON_TABLE_PAGE : options.page;

    httplib::Server server;
    // A thread serves one connection at a time, idle keep-alive ones included: room for the
    // submissions waiting for a worker and for the readers beside them.
    const int threads = options.threads > 0 ? options.threads : std::max(64, 8 * workerCount);
    server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server.set_keep_alive_max_count(1000);
    // The headers and the body go out in two writes: without this, each answer on a kept-alive
    // connection waits for the client's delayed acknowledgement, 40 ms.
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(table::kMaxBody);
    table::addTableRoutes(server, storage, workers, limit, {page, options.forwardedFor});
    if (!server.set_mount_point("/", page.string())) {
        std::fprintf(stderr, "kestrilon-table: no page folder %s: serving the API only\n",
                     page.c_str());
    }

    // SIGTERM and SIGINT are taken by one thread, which stops the server: the listening socket
    // closes, the requests in flight are answered, and listen() returns.
    std::thread([&server] {
        sigset_t stops;
        sigemptyset(&stops);
        sigaddset(&stops, SIGTERM);
        sigaddset(&stops, SIGINT);
        int signal = 0;
        sigwait(&stops, &signal);
        // A signal taken before listen() began would stop nothing: wait for it to begin. Should
        // it fail instead, main returns and the process ends with this thread.
        while (!server.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        server.stop();
    }).detach();

    if (!server.bind_to_port(options.host.c_str(), options.port)) {
        std::fprintf(stderr, "kestrilon-table: cannot listen on %s:%d\n", options.host.c_str(),
                     options.port);
        return 1;
    }
    std::fprintf(stderr, "kestrilon-table: serving on %s:%d with %d simulators\n",
                 options.host.c_str(), options.port, workerCount);
    server.listen_after_bind();
    std::fputs("kestrilon-table: stopped\n", stderr);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string problem;
    const std::optional<table::TableOptions> options =
        table::parseTableOptions(argc, argv, problem);
    if (!options) {
        std::fprintf(stderr, "kestrilon-table: %s\n%s", problem.c_str(), table::kTableUsage);
        return 2;
    }
    // Before any thread starts, so that each inherits the mask and only sigwait takes them.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    // A client or a worker that goes away mid-write is an error return, not the end of the server.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        const std::unique_ptr<table::Storage> storage =
            table::openStorage(options->data.string(), options->database);
        return options->action == table::TableOptions::Action::serve
                   ? serve(*storage, *options)
                   : hideOrShow(*storage, *options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kestrilon-table: %s\n", error.what());
        return 1;
    }
}
