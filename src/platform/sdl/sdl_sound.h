// The desktop's sound through SDL2's audio: a callback on SDL's audio thread mixes the tones in
// flight (tone_mixer.h).
//
// Implemented features:
//  [x] The device opened at the first sound, not at start-up: a game never played makes none.
//  [x] Closed again after a second of silence. SDL's audio thread fills a paused device with
//      silence all the same, waking every buffer; a closed one has no thread, so a game left at
//      its title wakes nothing.
//  [x] SDL_AUDIODRIVER and SDL's other audio settings, as SDL reads them.
//  [x] No device, a failing or a busy one: one line on stderr the first time, then silence; the
//      game never waits for sound.
//  [ ] Mute is not here: a muted game plays no sound to begin with (sound_output.h).
//
// Threads: play() on the game thread; the callback on SDL's; a closer thread of our own while the
// device is open, which closes it once silence has lasted. Only backend code includes this.
#pragma once

#include "platform/sound_output.h"
#include "platform/tone_mixer.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace platform {

class SdlSound final : public SoundOutput {
  public:
    SdlSound() = default;
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void play(SoundCue cue) override;

  private:
    static void fill(void* self, std::uint8_t* stream, int bytes);
    bool openDevice(SoundCue first);
    void closeWhenSilent();

    std::mutex lock_; // the mixer, the silence count and the flags
    std::condition_variable silenceLasted_;
    ToneMixer mixer_{kSampleRate};
    int rate_ = kSampleRate;
    std::uint32_t device_ = 0;
    bool failed_ = false;
    bool closing_ = false;
    bool ending_ = false;
    long silentFrames_ = 0;
    std::thread closer_;
};

} // namespace platform
