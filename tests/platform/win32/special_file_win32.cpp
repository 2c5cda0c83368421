#include "platform/special_file.h"

std::string makeSpecialFile(const ScratchDir&) {
    // A character device: it opens and reads like a file, but is none.
    return "NUL";
}
