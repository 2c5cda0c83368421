// The program's arguments and environment as UTF-8 text, for main to hand to its command-line
// parser.
//
// On Windows, main's argv and getenv come through the ANSI code page, which folds the characters
// it lacks to look-alikes: a full-width "－－ｆｏｒｇｅｔ－ｂｅｓｔ" would arrive as
// "--forget-best". There (program_arguments_win32.cpp) the command line and the environment are
// read as the system keeps them, in UTF-16. Elsewhere argv and getenv hold their own bytes
// already (program_arguments_posix.cpp). Called from main.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

std::vector<std::string> readProgramArguments(int argc, char** argv);

// std::nullopt when the variable is not set.
std::optional<std::string> environmentVariable(const char* name);

// The arguments kept, with an argv-like array over them (null at its end).
class ProgramArguments {
  public:
    ProgramArguments(int argc, char** argv) : texts_(readProgramArguments(argc, argv)) {
        for (std::string& text : texts_) {
            pointers_.push_back(text.data());
        }
        pointers_.push_back(nullptr);
    }
    ProgramArguments(const ProgramArguments&) = delete;
    ProgramArguments& operator=(const ProgramArguments&) = delete;

    int count() const { return static_cast<int>(texts_.size()); }
    char** values() { return pointers_.data(); }

  private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

} // namespace platform
