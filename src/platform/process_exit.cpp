#include "platform/process_exit.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <utility>

namespace platform {
namespace {

std::mutex holdsLock;
std::condition_variable holdsReleased;
int holds = 0;
std::function<void()> hideWindow;

} // namespace

ExitHold::ExitHold() {
    const std::lock_guard guard(holdsLock);
    ++holds;
}

ExitHold::~ExitHold() {
    {
        const std::lock_guard guard(holdsLock);
        --holds;
    }
    holdsReleased.notify_all();
}

void hideWhileEnding(std::function<void()> hide) {
    const std::lock_guard guard(holdsLock);
    hideWindow = std::move(hide);
}

void exitProcess(int code) {
    {
        std::unique_lock guard(holdsLock);
        if (hideWindow) {
            hideWindow();
        }
        holdsReleased.wait_for(guard, std::chrono::milliseconds(kLongestExitWaitMs),
                               [] { return holds == 0; });
    }
    // The C++ streams first: the tools give them buffers of their own.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

} // namespace platform
