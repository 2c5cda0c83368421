// Ending the process from any thread, wherever the other threads are.
//
// The window thread calls it when the window is gone, the signal thread when the system asks the
// process to stop. Static destructors do not run: the game thread keeps running until the end and
// would use what they tear down. Work the end must not cut short (a best score on its way to the
// disk) holds an ExitHold meanwhile: the end waits for it, at most kLongestExitWaitMs, then comes
// all the same, so a disk that never answers cannot keep a closed game alive.
#pragma once

namespace platform {

inline constexpr int kLongestExitWaitMs = 3000;

// Waits for the holds, flushes the C and C++ standard streams, then ends the process with `code`.
[[noreturn]] void exitProcess(int code);

// Any thread; the end of the process waits from the hold's construction to its destruction.
class ExitHold {
  public:
    ExitHold();
    ~ExitHold();
    ExitHold(const ExitHold&) = delete;
    ExitHold& operator=(const ExitHold&) = delete;
};

} // namespace platform
