// Start-up hygiene against the surroundings a program is started in. Called first thing in
// main, before any thread or file exists.
//
// A descriptor among 0, 1, 2 that the parent left closed would be handed to the next file the
// program opens (the display connection, a picture), and a diagnostic meant for stderr would
// land in it; each closed one is opened on /dev/null instead. SIGPIPE is ignored: a write to a
// pipe nobody reads fails with EPIPE like any other failed write, and a failed diagnostic is no
// reason to die. That is POSIX (process_setup_posix.cpp). On Windows (process_setup_win32.cpp)
// a stream is closed when it leads nowhere, as a GUI program's do; the console of the program
// that started this one, if any, then takes the output and error streams.
#pragma once

namespace platform {

// Which of the standard descriptors were closed at start-up (and now lead to /dev/null, or to the
// parent's console on Windows).
struct ClosedStandardStreams {
    bool input = false;
    bool output = false;
    bool error = false;
};

ClosedStandardStreams prepareProcess();

} // namespace platform
