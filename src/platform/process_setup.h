// Start-up hygiene against the surroundings a program is started in. Called first thing in
// main, before any thread or file exists.
//
// A descriptor among 0, 1, 2 that the parent left closed would be handed to the next file the
// program opens (the display connection, a picture), and a diagnostic meant for stderr would
// land in it; each closed one is opened on /dev/null instead. SIGPIPE is ignored: a write to a
// pipe nobody reads fails with EPIPE like any other failed write, and a failed diagnostic is no
// reason to die.
#pragma once

namespace platform {

// Which of the standard descriptors were closed at start-up (and now lead to /dev/null).
struct ClosedStandardStreams {
    bool input = false;
    bool output = false;
    bool error = false;
};

ClosedStandardStreams prepareProcess();

} // namespace platform
