#include "platform/program_arguments.h"

#include <cstdlib>

namespace platform {

std::vector<std::string> readProgramArguments(int argc, char** argv) {
    return {argv, argv + argc};
}

std::optional<std::string> environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return value;
}

} // namespace platform
