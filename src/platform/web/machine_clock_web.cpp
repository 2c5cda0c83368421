// The machine's clock in a page, where the game shares the browser's one thread with the page:
// every wait hands the thread back to the browser (the build is made with emscripten's Asyncify)
// and the game carries on from there when the time has come or the word has been announced.
#include "platform/machine_clock.h"

#include <emscripten.h>

namespace {

// The one waiter: the game is the only code that waits. machineWake resolves it; the game then
// resumes once the event that woke it has returned to the browser.
// clang-format off
EM_ASYNC_JS(void, waitForWake, (), {
    await new Promise(function(resolve) { Module.kestrilonWake = resolve; });
});

EM_JS(void, wakeWaiter, (), {
    const wake = Module.kestrilonWake;
    Module.kestrilonWake = null;
    if (wake) {
        wake();
    }
});
// clang-format on

} // namespace

namespace platform {

std::uint64_t machineMs() {
    return static_cast<std::uint64_t>(emscripten_get_now());
}

void machineSleepUntil(std::uint64_t deadlineMs) {
    // A timer may fire a little before the millisecond it was set for.
    for (std::uint64_t now = machineMs(); now < deadlineMs; now = machineMs()) {
        emscripten_sleep(static_cast<unsigned>(deadlineMs - now));
    }
}

void machineYield() {
    emscripten_sleep(0);
}

void machineWaitWhile(const std::atomic<std::uint8_t>& word, std::uint8_t seen) {
    if (word.load() == seen) {
        waitForWake();
    }
}

void machineWaitWhile(const std::atomic<std::int32_t>& word, std::int32_t seen) {
    if (word.load() == seen) {
        waitForWake();
    }
}

void machineWake(std::atomic<std::uint8_t>&) {
    wakeWaiter();
}

void machineWake(std::atomic<std::int32_t>&) {
    wakeWaiter();
}

} // namespace platform
