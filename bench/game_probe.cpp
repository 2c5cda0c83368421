// The real game watched from outside, on the X server of $DISPLAY: how long from exec to the
// title on the screen, and what the game costs the machine while its title waits and in play
// (processor time and wake-ups from /proc), beside a reference pacer measured over the same
// seconds: a process that does nothing but sleep to absolute 17 ms deadlines.
//
// usage: kestrilon-bench-game [--controller] <game> [runs] [seconds]   (default 5 runs, 4 s per
// figure). Needs xdotool for the Enter key. Prints rows of a Markdown table: figure, ours,
// reference. With --controller the game is kestrilon-pad-driver: its virtual controller is
// plugged in once the title is painted and left untouched, and its Start button starts play.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Where the game's client area lands: the game moves its window to the top-left corner.
constexpr int kClientWidth = 392;
constexpr int kClientHeight = 88;
// The title counts as painted once the screen shows what it shows when it has been still this
// long.
constexpr auto kStillFor = std::chrono::milliseconds(800);
constexpr auto kGiveUpAfter = std::chrono::seconds(15);

double msSince(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Processor time and voluntary context switches (each one a sleep, so a wake-up) of a process,
// summed over its threads, and of its first thread alone.
struct Usage {
    double cpuNs = 0;
    long wakeups = 0;
    long mainWakeups = 0;
};

long statusField(const std::string& file, const std::string& name) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(name + ":", 0) == 0) {
            return std::atol(line.c_str() + name.size() + 1);
        }
    }
    return 0;
}

Usage usageOf(pid_t pid) {
    Usage usage;
    const std::string taskDir = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(taskDir.c_str());
    if (dir == nullptr) {
        return usage;
    }
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const std::string task = taskDir + "/" + entry->d_name;
        double runNs = 0;
        std::ifstream(task + "/schedstat") >> runNs;
        const long switches = statusField(task + "/status", "voluntary_ctxt_switches");
        usage.cpuNs += runNs;
        usage.wakeups += switches;
        if (std::atol(entry->d_name) == pid) {
            usage.mainWakeups = switches;
        }
    }
    closedir(dir);
    return usage;
}

struct Rate {
    double cpuPercent = 0;
    double wakeupsPerSecond = 0;
    double mainWakeupsPerSecond = 0;
};

Rate rateBetween(const Usage& from, const Usage& to, double seconds) {
    return {(to.cpuNs - from.cpuNs) / (seconds * 1e9) * 100.0,
            static_cast<double>(to.wakeups - from.wakeups) / seconds,
            static_cast<double>(to.mainWakeups - from.mainWakeups) / seconds};
}

// Two processes measured over the same seconds.
struct Side {
    Rate game;
    Rate reference;
};

Side measure(pid_t game, pid_t reference, double seconds) {
    const Usage gameFrom = usageOf(game);
    const Usage referenceFrom = usageOf(reference);
    const Clock::time_point start = Clock::now();
    usleep(static_cast<useconds_t>(seconds * 1e6));
    const double elapsed = msSince(start, Clock::now()) / 1000.0;
    return {rateBetween(gameFrom, usageOf(game), elapsed),
            rateBetween(referenceFrom, usageOf(reference), elapsed)};
}

[[noreturn]] void runReferencePacer() {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    for (;;) {
        deadline.tv_nsec += 17'000'000;
        if (deadline.tv_nsec >= 1'000'000'000) {
            deadline.tv_nsec -= 1'000'000'000;
            ++deadline.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
    }
}

// `input`, when given, receives the write end of a pipe that is the program's standard input.
pid_t spawn(const std::string& program, int* input = nullptr) {
    int pipeEnds[2] = {-1, -1};
    if (input != nullptr && pipe(pipeEnds) != 0) {
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        if (input != nullptr) {
            dup2(pipeEnds[0], STDIN_FILENO);
            close(pipeEnds[1]);
        }
        // Whatever way the probe ends (a lost X connection exits from inside Xlib), its children
        // end with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        if (program.empty()) {
            runReferencePacer();
        }
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (input != nullptr) {
        close(pipeEnds[0]);
        *input = pipeEnds[1];
    }
    return pid;
}

bool say(int input, const char* line) {
    return write(input, line, std::strlen(line)) == static_cast<ssize_t>(std::strlen(line));
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        usleep(10'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::uint64_t screenHash(Display* display) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, kClientWidth,
                              kClientHeight, AllPlanes, ZPixmap);
    std::uint64_t hash = 1469598103934665603ull;
    if (image == nullptr) {
        return hash;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(image->data);
    const long size = static_cast<long>(image->bytes_per_line) * image->height;
    for (long i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    XDestroyImage(image);
    return hash;
}

struct Sighting {
    double ms = 0;
    std::uint64_t hash = 0;
};

// Watches the corner until it has been still for a while, showing something other than the empty
// screen. Returns the milliseconds from `start` to the first sighting of what it settled on, or
// a negative number when it never settled.
double timeToSettle(Display* display, Clock::time_point start, std::uint64_t empty,
                    std::uint64_t& settled) {
    std::vector<Sighting> sightings;
    Clock::time_point lastChange = Clock::now();
    while (Clock::now() - start < kGiveUpAfter) {
        const std::uint64_t hash = screenHash(display);
        const Clock::time_point now = Clock::now();
        if (sightings.empty() || sightings.back().hash != hash) {
            sightings.push_back({msSince(start, now), hash});
            lastChange = now;
        } else if (hash != empty && now - lastChange >= kStillFor) {
            settled = hash;
            return sightings.back().ms;
        }
        usleep(1000);
    }
    return -1;
}

bool waitForChange(Display* display, std::uint64_t from) {
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(3)) {
        if (screenHash(display) != from) {
            return true;
        }
        usleep(2000);
    }
    return false;
}

struct Run {
    double startupMs = -1;
    Side title;
    Side play;
    bool played = false;
};

bool startPlay(Display* display, int controller) {
    if (controller >= 0) {
        return say(controller, "start\n");
    }
    // Keys go to the window under the pointer while nothing else holds the focus.
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 20, 20);
    XSync(display, False);
    return std::system("xdotool key Return") == 0;
}

Run runOnce(Display* display, const std::string& game, bool withController, pid_t reference,
            double seconds) {
    Run run;
    const std::uint64_t empty = screenHash(display);
    const Clock::time_point start = Clock::now();
    int controller = -1;
    const pid_t pid = spawn(game, withController ? &controller : nullptr);
    std::uint64_t title = 0;
    run.startupMs = timeToSettle(display, start, empty, title);
    if (run.startupMs >= 0 && (controller < 0 || say(controller, "plug\n"))) {
        if (controller >= 0) {
            usleep(500'000); // plugged in and opened by the game
        }
        run.title = measure(pid, reference, seconds);
        if (startPlay(display, controller) && waitForChange(display, title)) {
            run.played = true;
            run.play = measure(pid, reference, seconds);
        }
    }
    stop(pid);
    if (controller >= 0) {
        close(controller);
    }
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

template <typename Get>
std::vector<double> collect(const std::vector<Run>& runs, Get get) {
    std::vector<double> values;
    for (const Run& run : runs) {
        values.push_back(get(run));
    }
    return values;
}

void printUsage(const char* figure, const std::vector<Run>& runs, Side Run::*side) {
    auto value = [&](Rate Side::*who, double Rate::*what) {
        return median(collect(runs, [&](const Run& run) { return (run.*side).*who.*what; }));
    };
    std::printf(
        "| %s | %.2f %% of a core, %.0f wake-ups/s (game thread %.0f/s) | %.2f %%, "
        "%.0f wake-ups/s |\n",
        figure, value(&Side::game, &Rate::cpuPercent), value(&Side::game, &Rate::wakeupsPerSecond),
        value(&Side::game, &Rate::mainWakeupsPerSecond), value(&Side::reference, &Rate::cpuPercent),
        value(&Side::reference, &Rate::wakeupsPerSecond));
}

} // namespace

int main(int argc, char** argv) {
    const bool withController = argc > 1 && std::string(argv[1]) == "--controller";
    if (withController) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: kestrilon-bench-game [--controller] <game> [runs] [seconds]\n");
        return 2;
    }
    const std::string game = argv[1];
    const int runCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const double seconds = argc > 3 ? std::max(0.5, std::atof(argv[3])) : 4.0;

    const pid_t reference = spawn("");
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "kestrilon-bench-game: cannot open the display\n");
        stop(reference);
        return 1;
    }
    std::vector<Run> runs;
    for (int i = 0; i < runCount; ++i) {
        const Run run = runOnce(display, game, withController, reference, seconds);
        if (run.startupMs < 0 || !run.played) {
            std::fprintf(stderr, "kestrilon-bench-game: run %d: the game %s\n", i + 1,
                         run.startupMs < 0 ? "never settled on its title" : "did not start play");
            stop(reference);
            return 1;
        }
        runs.push_back(run);
    }
    stop(reference);
    XCloseDisplay(display);

    if (withController) {
        printUsage("CPU while the title waits, a controller connected", runs, &Run::title);
        printUsage("CPU in play, a controller connected", runs, &Run::play);
        return 0;
    }
    const std::vector<double> startup = collect(runs, [](const Run& run) { return run.startupMs; });
    std::printf("| exec to the title painted, median of %d | %.0f ms (%.0f-%.0f) | |\n", runCount,
                median(startup), *std::min_element(startup.begin(), startup.end()),
                *std::max_element(startup.begin(), startup.end()));
    printUsage("CPU while the title waits", runs, &Run::title);
    printUsage("CPU in play", runs, &Run::play);
}
