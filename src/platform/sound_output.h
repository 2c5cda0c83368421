// Sound, output only: the game says what happened (playSound, on the game thread, between two
// frames) and the host that was given with useSoundOutput plays it, or records it. Nothing a
// host does with sound reaches the key latch, the clock or what the game draws.
//
// Mute belongs to the player, not the game: the `M` key (a pad's Select/Back is mapped to it) is
// taken before the key latch by takeHostKey, so neither the game nor its replays ever read it.
//
// Threads: useSoundOutput and listenForMute before the game runs; playSound on the game thread;
// takeHostKey on the window thread, where the mute listener is then told; the rest any thread.
#pragma once

#include "platform/sound_tones.h"

#include <cstdint>

namespace platform {

struct SoundCue {
    SoundEvent event = SoundEvent::aimStepped;
    // The hit's slot for invaderHit (1 next to the player, 6 where invaders enter), else 0.
    std::uint8_t slot = 0;
};

class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    // Game thread. Must not wait: the cue is queued for whoever makes the sound.
    virtual void play(SoundCue cue) = 0;
};

// Null: no sound (the default).
void useSoundOutput(SoundOutput* output);
void playSound(SoundEvent event, int slot = 0);

inline constexpr std::uint32_t kMuteKey = 'M';

bool soundMuted();
void setSoundMuted(bool muted);
using MuteListener = void (*)(bool muted);
void listenForMute(MuteListener listener);
// A key-down about to reach the latch: true when the host keeps it (mute toggled and the
// listener told), false when it is the game's.
bool takeHostKey(std::uint32_t virtualKey);

} // namespace platform
