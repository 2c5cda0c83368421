#include "platform/program_arguments.h"

namespace platform {

std::vector<std::string> readProgramArguments(int argc, char** argv) {
    return {argv, argv + argc};
}

} // namespace platform
