// Standard input and output as bytes, for a program that reads a script and whose output is
// compared byte for byte (the simulator's): in Windows' text mode "\n" would be written as
// "\r\n", and a 0x1A byte read, even in a comment, would end the input. Call once from main,
// before anything is read or written.
#pragma once

namespace platform {

void useBinaryStandardStreams();

} // namespace platform
