#include "platform/special_file.h"

#include <stdexcept>
#include <sys/stat.h>

std::string makeSpecialFile(const ScratchDir& dir) {
    // A pipe with no writer would block a plain open for ever.
    const std::string fifo = dir.path("pipe");
    if (::mkfifo(fifo.c_str(), 0600) != 0) {
        throw std::runtime_error("mkfifo failed");
    }
    return fifo;
}
