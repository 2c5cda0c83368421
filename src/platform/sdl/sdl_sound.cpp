#include "platform/sdl/sdl_sound.h"

#include <SDL.h>

#include <cstdio>
#include <system_error>

namespace platform {

namespace {

// About 11 ms a buffer at 48 kHz: a key's tone reaches the device within a buffer or two.
constexpr Uint16 kBufferFrames = 512;

} // namespace

SdlSound::~SdlSound() {
    {
        std::lock_guard guard(lock_);
        ending_ = true;
    }
    silenceLasted_.notify_all();
    if (closer_.joinable()) {
        closer_.join();
    }
}

void SdlSound::fill(void* self, std::uint8_t* stream, int bytes) {
    auto& sound = *static_cast<SdlSound*>(self);
    const int frames = bytes / static_cast<int>(sizeof(float));
    std::lock_guard guard(sound.lock_);
    if (sound.mixer_.mix(reinterpret_cast<float*>(stream), frames)) {
        sound.silentFrames_ = 0;
    } else if ((sound.silentFrames_ += frames) >= sound.rate_) {
        sound.silenceLasted_.notify_all();
    }
}

bool SdlSound::openDevice(SoundCue first) {
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "kestrilon: no sound: %s\n", SDL_GetError());
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 1;
    wanted.samples = kBufferFrames;
    wanted.callback = fill;
    wanted.userdata = this;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0) {
        std::fprintf(stderr, "kestrilon: no sound: %s\n", SDL_GetError());
        return false;
    }
    {
        std::lock_guard guard(lock_);
        device_ = device;
        rate_ = have.freq;
        mixer_ = ToneMixer(have.freq);
        // Before the device starts, so its first buffer already holds the sound.
        mixer_.start(first);
        silentFrames_ = 0;
    }
    try {
        closer_ = std::thread([this] { closeWhenSilent(); });
    } catch (const std::system_error&) {
        // Without a closer the device stays open: sound plays, the title wakes for it.
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlSound::closeWhenSilent() {
    std::unique_lock guard(lock_);
    silenceLasted_.wait(guard, [this] { return ending_ || silentFrames_ >= rate_; });
    closing_ = true;
    const SDL_AudioDeviceID device = device_;
    guard.unlock();
    // Waits for SDL's audio thread, which takes lock_ in the callback: not under it.
    SDL_CloseAudioDevice(device);
    guard.lock();
    device_ = 0;
    closing_ = false;
}

void SdlSound::play(SoundCue cue) {
    std::unique_lock guard(lock_);
    if (failed_) {
        return;
    }
    if (device_ == 0 || closing_) {
        guard.unlock();
        if (closer_.joinable()) {
            closer_.join();
        }
        const bool opened = openDevice(cue);
        guard.lock();
        failed_ = !opened;
        return;
    }
    mixer_.start(cue);
    silentFrames_ = 0;
}

} // namespace platform
