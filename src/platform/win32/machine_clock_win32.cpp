#include "platform/machine_clock.h"

#include <windows.h>

#include <timeapi.h>

namespace platform {
namespace {

// Defined from Windows 10 1803 on; older headers and systems do not know it.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

std::int64_t counterFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

std::int64_t counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// One timer per sleeping thread, made on its first sleep and kept: a high-resolution one where
// the system has them, else none (null), and the sleeps fall back to Sleep at a 1 ms period.
class SleepTimer {
  public:
    SleepTimer()
        : handle_(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                         TIMER_ALL_ACCESS)) {}
    ~SleepTimer() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    SleepTimer(const SleepTimer&) = delete;
    SleepTimer& operator=(const SleepTimer&) = delete;

    // Sleeps about `remaining100ns`; false when there is no high-resolution timer.
    bool sleep(std::int64_t remaining100ns) {
        if (handle_ == nullptr) {
            return false;
        }
        LARGE_INTEGER due;
        due.QuadPart = -remaining100ns; // negative: relative to now
        if (!SetWaitableTimerEx(handle_, &due, 0, nullptr, nullptr, nullptr, 0)) {
            return false;
        }
        return WaitForSingleObject(handle_, INFINITE) == WAIT_OBJECT_0;
    }

  private:
    HANDLE handle_;
};

} // namespace

std::uint64_t machineMs() {
    static const std::int64_t frequency = counterFrequency();
    const std::int64_t now = counterNow();
    // Split so that the multiplication cannot overflow however long the machine has run.
    return static_cast<std::uint64_t>(now / frequency * 1000 + now % frequency * 1000 / frequency);
}

void machineSleepUntil(std::uint64_t deadlineMs) {
    thread_local SleepTimer timer;
    // A timer may fire a little early; the deadline is what counts, so sleep again for the rest.
    for (std::uint64_t now = machineMs(); now < deadlineMs; now = machineMs()) {
        const std::uint64_t remainingMs = deadlineMs - now;
        if (!timer.sleep(static_cast<std::int64_t>(remainingMs) * 10000)) {
            timeBeginPeriod(1);
            Sleep(static_cast<DWORD>(remainingMs));
            timeEndPeriod(1);
        }
    }
}

void machineYield() {
    SwitchToThread();
}

namespace {

// WaitOnAddress compares the word with `seen` and sleeps in one step, so a wake-up between the
// two cannot be lost.
template <typename Word>
void waitWhile(const std::atomic<Word>& word, Word seen) {
    static_assert(sizeof(std::atomic<Word>) == sizeof(Word));
    WaitOnAddress(const_cast<std::atomic<Word>*>(&word), &seen, sizeof(Word), INFINITE);
}

} // namespace

void machineWaitWhile(const std::atomic<std::uint8_t>& word, std::uint8_t seen) {
    waitWhile(word, seen);
}

void machineWaitWhile(const std::atomic<std::int32_t>& word, std::int32_t seen) {
    waitWhile(word, seen);
}

void machineWake(std::atomic<std::uint8_t>& word) {
    WakeByAddressAll(&word);
}

void machineWake(std::atomic<std::int32_t>& word) {
    WakeByAddressAll(&word);
}

} // namespace platform
