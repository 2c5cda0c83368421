#include "script_input.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace script {
namespace {

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

LineReader::Read LineReader::next(std::vector<std::string>& words, Error& error) {
    std::array<char, kMaxLineBytes + 1> line{};
    for (;;) {
        // A bounded read: an endless line costs no more memory than a long one.
        in_.getline(line.data(), line.size());
        const bool ended = in_.gcount() == 0 && in_.eof();
        // libc++ (the web build's) reads std::cin through C's stdin even unsynced and takes a
        // read error for the end; stdin's error flag tells them apart.
        if (in_.bad() || (ended && &in_ == &std::cin && std::ferror(stdin) != 0)) {
            error = {lineNumber_ + 1,
                     std::string("cannot read the script: ") + std::strerror(errno)};
            return Read::Failed;
        }
        if (ended) {
            return Read::End;
        }
        ++lineNumber_;
        if (in_.fail() && !in_.eof()) {
            error = {lineNumber_,
                     "the line is longer than " + std::to_string(kMaxLineBytes) + " bytes"};
            return Read::Failed;
        }
        // The newline is counted but not stored; a last line may lack it.
        const auto stored = static_cast<std::size_t>(in_.gcount()) - (in_.eof() ? 0 : 1);
        std::string_view text(line.data(), stored);
        text = text.substr(0, text.find('#'));
        words.clear();
        std::size_t at = 0;
        while (at < text.size()) {
            if (isSpace(text[at])) {
                ++at;
                continue;
            }
            std::size_t end = at;
            while (end < text.size() && !isSpace(text[end])) {
                ++end;
            }
            words.emplace_back(text.substr(at, end - at));
            at = end;
        }
        if (words.empty()) {
            continue;
        }
        if (++linesWithWords_ > kMaxLines) {
            error = {lineNumber_,
                     "the script is longer than " + std::to_string(kMaxLines) + " lines"};
            return Read::Failed;
        }
        return Read::Words;
    }
}

bool parseWhole(std::string_view token, std::uint64_t max, std::uint64_t& value) {
    if (token.empty()) {
        return false;
    }
    const auto [end, status] = std::from_chars(token.data(), token.data() + token.size(), value);
    return status == std::errc() && end == token.data() + token.size() && value <= max;
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string out = "\"";
    for (const char c : text.substr(0, kShown)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            out += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        }
    }
    out += text.size() > kShown ? "...\"" : "\"";
    return out;
}

} // namespace script
