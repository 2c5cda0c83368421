#include "image/bounded_load.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <type_traits>
#include <unistd.h>

namespace {

static_assert(std::is_trivially_copyable_v<BoundedLoad>, "sent through a pipe as bytes");

long maxRssKib() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Sets the peak resident set to the current one (Linux 4.0 and later).
bool resetPeak() {
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = ::write(fd, "5", 1) == 1;
    ::close(fd);
    return written;
}

BoundedLoad measure(const std::function<int(PictureFile&)>& load) {
    // SIGXCPU after one second of CPU, SIGKILL after two should that be caught.
    const rlimit cpu{1, 2};
    ::setrlimit(RLIMIT_CPU, &cpu);
    BoundedLoad report;
    const bool reset = resetPeak();
    const long before = maxRssKib();
    PictureFile file;
    report.result = load(file);
    report.peakGrowthKib = reset ? maxRssKib() - before : -1;
    report.format = file.format;
    report.width = file.width;
    report.height = file.height;
    const platform::Bitmap* bitmap = file.bitmapHandle();
    report.bitmapConsistent =
        report.result == 1
            ? bitmap != nullptr && bitmap->width == file.width && bitmap->height == file.height &&
                  bitmap->pixels.size() == static_cast<std::size_t>(file.width) * file.height
            : bitmap == nullptr;
    report.finished = true;
    return report;
}

} // namespace

BoundedLoad loadBounded(const std::function<int(PictureFile&)>& load) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return {};
    }
    // Output buffered before the fork would otherwise be written by both processes.
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const BoundedLoad report = measure(load);
        const bool sent = ::write(channel[1], &report, sizeof report) == sizeof report;
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    BoundedLoad report;
    std::size_t got = 0;
    auto* bytes = reinterpret_cast<char*>(&report);
    while (child > 0 && got < sizeof report) {
        const ssize_t n = ::read(channel[0], bytes + got, sizeof report - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(channel[0]);
    int status = 0;
    const bool exited = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                        WEXITSTATUS(status) == 0;
    if (!exited || got != sizeof report) {
        return {};
    }
    return report;
}
