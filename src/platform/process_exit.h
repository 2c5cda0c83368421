// Ending the process from any thread, wherever the other threads are.
//
// The window thread calls it when the window is gone. Static destructors do not run: the game
// thread keeps running until the end and would use what they tear down.
#pragma once

namespace platform {

// Flushes the C and C++ standard streams, then ends the process with `code`.
[[noreturn]] void exitProcess(int code);

} // namespace platform
