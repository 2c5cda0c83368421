// Where the running program's executable lives, to find the data that ships beside it.
#pragma once

#include <filesystem>

namespace platform {

// The folder of the running executable; empty when the system cannot tell.
std::filesystem::path executableFolder();

} // namespace platform
