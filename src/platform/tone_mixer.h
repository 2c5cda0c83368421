// The tones of the sounds in flight, synthesised from sound_tones.h into samples: what every host
// that fills its own audio buffers (the desktop's callback, the Windows wave buffers) shares.
// Sounds that overlap are added together.
//
// Not thread-safe: the host guards it (start on the game thread, mix on its audio thread).
#pragma once

#include "platform/sound_output.h"

#include <vector>

namespace platform {

// The rate the hosts ask their devices for.
inline constexpr int kSampleRate = 48000;

class ToneMixer {
  public:
    explicit ToneMixer(int sampleRate) : rate_(sampleRate) {}
    void start(SoundCue cue);
    // Fills `out` (mono, -1..1) with the next frames. False when nothing sounded: `out` is silence.
    // Once the sound is muted, the sounds in flight end.
    bool mix(float* out, int frames);
    bool idle() const { return voices_.empty(); }

  private:
    struct Voice {
        const SoundTones* sound;
        int slot;
        std::size_t tone = 0;
        long frame = 0; // within the tone
        double phase = 0;
    };
    bool mixVoice(Voice& voice, float* out, int frames);

    int rate_;
    std::vector<Voice> voices_;
};

} // namespace platform
