#include "platform/sound_output.h"

#include <atomic>

namespace platform {

namespace {

SoundOutput* output = nullptr;
std::atomic<bool> muted{false};
// Set on the game thread, called on the window thread.
std::atomic<MuteListener> muteListener{nullptr};

} // namespace

void useSoundOutput(SoundOutput* chosen) {
    output = chosen;
}

void playSound(SoundEvent event, int slot) {
    if (output != nullptr && !muted) {
        output->play({event, static_cast<std::uint8_t>(slot)});
    }
}

bool soundMuted() {
    return muted;
}

void setSoundMuted(bool value) {
    muted = value;
}

void listenForMute(MuteListener listener) {
    muteListener = listener;
}

bool takeHostKey(std::uint32_t virtualKey) {
    if (virtualKey != kMuteKey) {
        return false;
    }
    const bool now = !muted.load();
    muted = now;
    if (const MuteListener listener = muteListener.load(); listener != nullptr) {
        listener(now);
    }
    return true;
}

} // namespace platform
