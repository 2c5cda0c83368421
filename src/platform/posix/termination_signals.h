// Ending the game when the user or the system asks the process to stop (SIGINT, SIGTERM,
// SIGHUP), at once, wherever the game and window threads are: start-up, title, play, banner; only
// a best score on its way to the disk is waited for (platform/process_exit.h).
//
// Called by the composition root first thing, before any other thread exists: the signals are
// blocked in the calling thread, so every thread started later inherits the block, and a thread
// of their own takes them with sigwait. The process then ends as a close does (standard streams
// flushed, nothing torn down) with exit code 128 + the signal's number, which shells and service
// managers read as "ended by that signal". A signal the process was started with ignored (nohup)
// stays ignored.
#pragma once

namespace platform {

void endOnTerminationSignals();

} // namespace platform
