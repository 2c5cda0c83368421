// The debug-output channel: the runtime's diagnostics go here as raw bytes (Shift-JIS text).
// Any thread may call it; each call is written whole.
#pragma once

#include <string_view>

namespace platform {

void debugOutput(std::string_view bytes);

} // namespace platform
