// The simulator as a verifier's worker: one replay code a line in, one answer a line out.
//
// Each line is decoded and played on the virtual clock as --replay plays it, and answered with
// the same "end MS SCORE STAGE LIVES" line, or with "refused REASON", the decoder's reason; each
// answer is flushed before the next line is read, so the caller may wait for it. A line longer
// than a code may be is refused without being kept. Returns the exit code: 0 at the end of the
// input, 1 when the answers can no longer be written.
#pragma once

#include <cstdio>

namespace sim {

int serveReplayCodes(std::FILE* in, std::FILE* out);

} // namespace sim
