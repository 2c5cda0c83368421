// The headless host's sound: nothing is heard, every cue the game plays is kept, in order, with
// the moment `stamp` gives it (a test passes the game's own count of key reads, so the moment is
// the same on any clock).
//
// Game thread: the cues come from the game and are read back once it has stopped.
#pragma once

#include "platform/sound_output.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace platform {

class HeadlessSounds final : public SoundOutput {
  public:
    struct Played {
        SoundCue cue;
        std::uint64_t at = 0;
    };

    explicit HeadlessSounds(std::function<std::uint64_t()> stamp) : stamp_(std::move(stamp)) {}
    void play(SoundCue cue) override { played.push_back({cue, stamp_()}); }

    std::vector<Played> played;

  private:
    std::function<std::uint64_t()> stamp_;
};

} // namespace platform
