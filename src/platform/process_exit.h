// Ending the process from any thread, wherever the other threads are.
//
// The window thread calls it when the window is gone, the signal thread when the system asks the
// process to stop. Static destructors do not run: the game thread keeps running until the end and
// would use what they tear down. Work the end must not cut short (a best score on its way to the
// disk) holds an ExitHold meanwhile: the end waits for it, at most kLongestExitWaitMs, then comes
// all the same, so a disk that never answers cannot keep a closed game alive. Meanwhile the window
// is gone from the screen: a close has destroyed it, and an end asked for from elsewhere hides it
// first (hideWhileEnding).
#pragma once

#include <functional>

namespace platform {

// Long enough for a save's four flushes on a disk that takes seconds for each.
inline constexpr int kLongestExitWaitMs = 10000;

// Hides the window, waits for the holds, flushes standard output and error (and nothing else: a
// thread blocked reading standard input holds the lock of that stream), then ends the process with
// `code`.
[[noreturn]] void exitProcess(int code);

// Any thread: what exitProcess runs first to take the window off the screen; it must not wait for
// the window thread, which may be the one ending. A window host sets it while its window lives
// and clears it (an empty function) when the window goes.
void hideWhileEnding(std::function<void()> hide);

// Any thread; the end of the process waits from the hold's construction to its destruction.
class ExitHold {
  public:
    ExitHold();
    ~ExitHold();
    ExitHold(const ExitHold&) = delete;
    ExitHold& operator=(const ExitHold&) = delete;
};

} // namespace platform
