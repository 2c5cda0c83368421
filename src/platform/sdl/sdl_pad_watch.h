// Tells the SDL window host when its controllers have something to read, so that SDL need not
// look for itself every millisecond (which it does whenever a joystick is open and it updates
// joysticks on its own) and a game waiting at its title stays off the processor.
//
// A thread of its own sleeps in poll() on the device nodes of the open controllers (its own
// opening of each: reading them takes nothing from SDL's) and on /dev/input, where nodes come
// and go when controllers are plugged in or out. When one of them stirs it calls `notice`;
// after a node changes it calls it again four times a second for two seconds, because the
// system's device manager announces the new controller to SDL a little after the node appears.
//
// Threads: construct, watch() and destroy on one thread (the window thread); `notice` runs on
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
    explicit SdlPadWatch(std::function<void()> notice);
    ~SdlPadWatch();
    SdlPadWatch(const SdlPadWatch&) = delete;
    SdlPadWatch& operator=(const SdlPadWatch&) = delete;

    // The device nodes to watch from now on, in place of the ones before.
    void watch(std::vector<std::string> devicePaths);

  private:
    void run();
    void tell();

    std::function<void()> notice_;
    // An eventfd: a new list of nodes, or the end.
    int control_ = -1;
    int nodes_ = -1;
    std::mutex lock_;
    std::vector<std::string> paths_;
    bool pathsChanged_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace platform
