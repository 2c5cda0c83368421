#include "platform/standard_output.h"

namespace platform {

// POSIX streams have no text mode: the bytes are the bytes already.
void useBinaryStandardStreams() {}

} // namespace platform
