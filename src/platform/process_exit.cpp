#include "platform/process_exit.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>

namespace platform {
namespace {

std::mutex holdsLock;
std::condition_variable holdsReleased;
int holds = 0;

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

void exitProcess(int code) {
    {
        std::unique_lock guard(holdsLock);
        holdsReleased.wait_for(guard, std::chrono::milliseconds(kLongestExitWaitMs),
                               [] { return holds == 0; });
    }
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace platform
