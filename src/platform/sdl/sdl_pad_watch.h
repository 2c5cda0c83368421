// Tells the SDL window host when its controllers have something to read, so that SDL need not
// look for itself every millisecond (which it does whenever a joystick is open and it updates
// joysticks on its own) and a game waiting at its title stays off the processor.
//
// A thread of its own sleeps in poll() on the device nodes of the open controllers (its own
// opening of each: reading them takes nothing from SDL's) and on the folder where nodes come and
// go when controllers are plugged in or out. When one of them stirs it calls `stirred`; after a
// node comes or goes it calls it again kFollowUps times, every kFollowUpMs, because the system's
// device manager announces the new controller to SDL a little after the node appears.
//
// The watch is optional. Where the system refuses it a thread, an eventfd or an inotify
// instance, it does not run and problem() says why; the host then reads no controllers. A lasting
// poll() error ends it the same way, said on stderr once, rather than spin.
//
// Threads: construct, watch() and destroy on one thread (the window thread); `stirred` runs on
// the watch's thread and must be safe to call from there.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform {

class SdlPadWatch {
  public:
    static constexpr int kFollowUps = 8;
    static constexpr int kFollowUpMs = 250;

    // `nodesFolder`: where device nodes appear (/dev/input; a test's own folder). A system
    // without it has no plugging to see, and the watch runs without looking.
    explicit SdlPadWatch(std::function<void()> stirred, const char* nodesFolder = "/dev/input");
    ~SdlPadWatch();
    SdlPadWatch(const SdlPadWatch&) = delete;
    SdlPadWatch& operator=(const SdlPadWatch&) = delete;

    // Why the watch is not running, empty when it is.
    const std::string& problem() const { return problem_; }

    // The device nodes to watch from now on, in place of the ones before.
    void watch(std::vector<std::string> devicePaths);

  private:
    void run();
    void wakeWatchThread();

    std::function<void()> stirred_;
    std::string problem_;
    // An eventfd the watch's thread polls: a new list of nodes, or the end.
    int wakeup_ = -1;
    // An inotify instance on the nodes' folder, -1 where there is no such folder.
    int nodes_ = -1;
    std::mutex lock_;
    std::vector<std::string> paths_;
    bool pathsChanged_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace platform
