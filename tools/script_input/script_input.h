// What the tools' scripts share: lines of words, the first a time in milliseconds, blank lines
// and text after '#' ignored; and the limits that keep any script a short run in little memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace script {

// 24 hours of virtual or real time.
inline constexpr std::uint64_t kMaxMs = 24ull * 60 * 60 * 1000;
inline constexpr std::size_t kMaxLineBytes = 1024;
// Lines that are not blank or comments.
inline constexpr std::size_t kMaxLines = 1000000;

struct Error {
    int line = 0;
    std::string message;
};

class LineReader {
  public:
    enum class Read { Words, End, Failed };

    explicit LineReader(std::istream& in) : in_(in) {}

    // The words of the next line that has any. Failed (and `error` says why) for a line longer
    // than kMaxLineBytes, a script of more than kMaxLines lines or a read error. A stream synced
    // with C's standard input takes a read error for the end: the tools unsync std::cin first.
    Read next(std::vector<std::string>& words, Error& error);

    int lineNumber() const { return lineNumber_; }

  private:
    std::istream& in_;
    int lineNumber_ = 0;
    std::size_t linesWithWords_ = 0;
};

// A whole token of decimal digits, nothing else, at most `max`.
bool parseWhole(std::string_view token, std::uint64_t max, std::uint64_t& value);

// `text` fit to be echoed in an error message: in double quotes, cut after 40 bytes (marked by
// "..."), bytes other than printable ASCII, the quote and the backslash written as \xNN.
std::string quoted(std::string_view text);

} // namespace script
