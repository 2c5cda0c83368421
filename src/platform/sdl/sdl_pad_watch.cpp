#include "platform/sdl/sdl_pad_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <system_error>

namespace platform {
namespace {

// Reads what `fd` holds until it holds no more. False when the device has gone.
bool drain(int fd) {
    std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got > 0) {
            continue;
        }
        return got < 0 && (errno == EAGAIN || errno == EINTR);
    }
}

// What failed, and errno's word for why.
std::string failure(const char* what, const char* detail = "") {
    const int error = errno;
    return std::string(what) + detail + ": " + std::generic_category().message(error);
}

void closeAll(std::vector<int>& fds) {
    for (const int fd : fds) {
        close(fd);
    }
    fds.clear();
}

} // namespace

SdlPadWatch::SdlPadWatch(std::function<void()> stirred, const char* nodesFolder)
    : stirred_(std::move(stirred)) {
    wakeup_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeup_ < 0) {
        problem_ = failure("no eventfd");
        return;
    }
    nodes_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (nodes_ < 0) {
        problem_ = failure("no inotify");
        return;
    }
    if (inotify_add_watch(nodes_, nodesFolder, IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVE) < 0) {
        if (errno != ENOENT) {
            problem_ = failure("cannot watch ", nodesFolder);
            return;
        }
        close(nodes_);
        nodes_ = -1;
    }
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error& error) {
        problem_ = std::string("no thread: ") + error.what();
    }
}

SdlPadWatch::~SdlPadWatch() {
    if (thread_.joinable()) {
        {
            std::lock_guard guard(lock_);
            stopping_ = true;
        }
        wakeWatchThread();
        thread_.join();
    }
    if (nodes_ >= 0) {
        close(nodes_);
    }
    if (wakeup_ >= 0) {
        close(wakeup_);
    }
}

void SdlPadWatch::watch(std::vector<std::string> devicePaths) {
    {
        std::lock_guard guard(lock_);
        paths_ = std::move(devicePaths);
        pathsChanged_ = true;
    }
    wakeWatchThread();
}

void SdlPadWatch::wakeWatchThread() {
    const std::uint64_t one = 1;
    // A full counter still wakes the thread: nothing is lost when the write fails.
    [[maybe_unused]] const ssize_t written = write(wakeup_, &one, sizeof one);
}

void SdlPadWatch::run() {
    std::vector<int> devices;
    int followUps = 0;
    for (;;) {
        std::vector<pollfd> watched{{wakeup_, POLLIN, 0}, {nodes_, POLLIN, 0}};
        for (const int fd : devices) {
            watched.push_back({fd, POLLIN, 0});
        }
        const int ready = poll(watched.data(), watched.size(), followUps > 0 ? kFollowUpMs : -1);
        if (ready == 0) {
            --followUps;
            stirred_();
            continue;
        }
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            // The same call would fail the same way at once: trying again would only spin.
            std::fprintf(stderr, "kestrilon: controllers are off: %s\n",
                         failure("cannot wait for them").c_str());
            closeAll(devices);
            return;
        }
        if (watched[0].revents != 0) {
            drain(wakeup_);
            std::lock_guard guard(lock_);
            if (stopping_) {
                closeAll(devices);
                return;
            }
            if (pathsChanged_) {
                pathsChanged_ = false;
                closeAll(devices);
                for (const std::string& path : paths_) {
                    if (const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
                        fd >= 0) {
                        devices.push_back(fd);
                    }
                }
            }
            continue;
        }
        bool stirred = false;
        if (watched[1].revents != 0) {
            drain(nodes_);
            followUps = kFollowUps;
            stirred = true;
        }
        for (std::size_t i = 2; i < watched.size(); ++i) {
            if (watched[i].revents == 0) {
                continue;
            }
            stirred = true;
            // A controller unplugged: its node reports an error until closed. SDL finds it gone
            // at the update this brings, and sends a new list.
            if ((watched[i].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 ||
                !drain(watched[i].fd)) {
                close(watched[i].fd);
                std::erase(devices, watched[i].fd);
            }
        }
        if (stirred) {
            stirred_();
        }
    }
}

} // namespace platform
