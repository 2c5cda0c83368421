#include "platform/tone_mixer.h"

#include <algorithm>

namespace platform {

namespace {

// More at once would not be heard apart; and a device that stopped asking for samples (unplugged)
// must not let the sounds queued for it pile up.
constexpr std::size_t kMostVoices = 8;

} // namespace

void ToneMixer::start(SoundCue cue) {
    if (voices_.size() == kMostVoices) {
        voices_.erase(voices_.begin());
    }
    voices_.push_back({&tonesOf(cue.event), cue.slot});
}

bool ToneMixer::mixVoice(Voice& voice, float* out, int frames) {
    const double duty = voice.sound->dutyPercent / 100.0;
    const long attack = static_cast<long>(rate_) * kAttackMs / 1000;
    const long release = static_cast<long>(rate_) * kReleaseMs / 1000;
    for (int i = 0; i < frames; ++i) {
        if (voice.tone >= voice.sound->tones.size() || voice.sound->tones[voice.tone].ms == 0) {
            return false;
        }
        const Tone tone = voice.sound->tones[voice.tone];
        const long length = static_cast<long>(rate_) * tone.ms / 1000;
        if (tone.hz != 0) {
            const long left = length - voice.frame;
            const double envelope = std::min({1.0, static_cast<double>(voice.frame) / attack,
                                              static_cast<double>(left) / release});
            out[i] += static_cast<float>((voice.phase < duty ? 1.0 : -1.0) * envelope * kToneLevel);
            voice.phase += toneHz(*voice.sound, tone, voice.slot) / rate_;
            voice.phase -= static_cast<long>(voice.phase);
        }
        if (++voice.frame >= length) {
            ++voice.tone;
            voice.frame = 0;
        }
    }
    return true;
}

bool ToneMixer::mix(float* out, int frames) {
    std::fill(out, out + frames, 0.0f);
    // The player asked for quiet: what is still sounding stops too.
    if (soundMuted()) {
        voices_.clear();
    }
    const bool sounded = !voices_.empty();
    std::erase_if(voices_, [&](Voice& voice) { return !mixVoice(voice, out, frames); });
    return sounded;
}

} // namespace platform
