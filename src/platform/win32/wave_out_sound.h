// The Windows sound through waveOut, which every Windows has: no DLL to ship. A thread of our own
// holds the device while sounds play, mixing the tones in flight (tone_mixer.h) into a few short
// buffers it keeps queued.
//
// Implemented features:
//  [x] The device opened at the first sound and closed again after a second of silence, its
//      thread ended with it: a game left at its title wakes nothing.
//  [x] No output device, a failing or a busy one: one line on stderr the first time, then
//      silence; the game never waits for sound.
//  [ ] Mute is not here: a muted game plays no sound to begin with (sound_output.h).
//
// Threads: play() on the game thread; the sound thread while the device is open.
#pragma once

#include "platform/sound_output.h"
#include "platform/tone_mixer.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

class WaveOutSound final : public SoundOutput {
  public:
    WaveOutSound() = default;
    ~WaveOutSound() override;
    WaveOutSound(const WaveOutSound&) = delete;
    WaveOutSound& operator=(const WaveOutSound&) = delete;

    void play(SoundCue cue) override;

  private:
    void run();

    std::mutex lock_; // the mixer and the flags
    ToneMixer mixer_{kSampleRate};
    bool running_ = false;
    bool failed_ = false;
    bool ending_ = false;
    std::thread thread_;
};

} // namespace platform
