#include "serve_mode.h"

#include "sim_engine.h"

#include "game/replay_code.h"

#include <string>

namespace sim {
namespace {

// The next line without its '\n'; false at the end of the input. A line past the longest code is
// read to its end but not kept: `tooLong` says so.
bool readLine(std::FILE* in, std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    int c = std::getc(in);
    if (c == EOF) {
        return false;
    }
    for (; c != EOF && c != '\n'; c = std::getc(in)) {
        if (line.size() < kMaxReplayCode) {
            line.push_back(static_cast<char>(c));
        } else {
            tooLong = true;
        }
    }
    return true;
}

} // namespace

int serveReplayCodes(std::FILE* in, std::FILE* out) {
    std::string line;
    bool tooLong = false;
    while (readLine(in, line, tooLong)) {
        const DecodedReplay decoded =
            tooLong ? DecodedReplay{{}, ReplayFault::oversized} : decodeReplay(trimmedCode(line));
        int written = 0;
        if (decoded.fault != ReplayFault::none) {
            written = std::fprintf(out, "refused %s\n", faultText(decoded.fault).c_str());
        } else {
            const SimEnd end = simulateReplay(decoded.replay, SimOptions{});
            written = std::fprintf(out, "end %llu %.0f %.0f %.0f\n",
                                   static_cast<unsigned long long>(end.ms), end.score, end.stage,
                                   end.lives);
        }
        if (written < 0 || std::fflush(out) != 0) {
            return 1;
        }
    }
    return 0;
}

} // namespace sim
