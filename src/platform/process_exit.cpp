#include "platform/process_exit.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace platform {

void exitProcess(int code) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace platform
