// Standard output as bytes: a program whose output is compared byte for byte (the simulator's)
// writes "\n" as one byte on every system, where Windows' text mode would make it "\r\n".
// Call once from main, before anything is written.
#pragma once

namespace platform {

void useBinaryStandardOutput();

} // namespace platform
