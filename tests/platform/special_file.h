// A name that opens something other than a regular file, which the picture reader must refuse
// without blocking: a pipe with no writer on POSIX (special_file_posix.cpp), the null device on
// Windows (special_file_win32.cpp).
#pragma once

#include "platform/scratch_dir.h"

#include <string>

std::string makeSpecialFile(const ScratchDir& dir);
