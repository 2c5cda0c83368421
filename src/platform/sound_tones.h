// What each sound of the game sounds like. The game names what happened (a SoundEvent); this is
// the one table that turns each into a short run of tones, and every host synthesises from it:
// the desktop's audio callback, the Windows wave buffers and the page's oscillators alike.
//
// A tone is a pulse wave of `dutyPercent` that rises over kAttackMs and falls over kReleaseMs
// within its own length, so no tone starts or stops with a click. A hit rings higher the farther
// the invader stood: its tones rise `semitonesPerSlot` for every slot beyond the first.
//
// Pure data and lookups: any thread.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace platform {

enum class SoundEvent : std::uint8_t {
    aimStepped,
    shotFired,
    invaderHit,
    bonusHit,
    lifeLost,
    stageCleared,
    gameOver,
};

struct Tone {
    std::uint16_t hz = 0; // 0: a rest
    std::uint16_t ms = 0; // 0: the run has ended
};

struct SoundTones {
    SoundEvent event;
    const char* name;
    std::uint8_t dutyPercent;
    std::uint8_t semitonesPerSlot;
    std::array<Tone, 4> tones;
};

inline constexpr int kAttackMs = 2;
inline constexpr int kReleaseMs = 6;
// Every sound at this share of full scale, so that two at once stay clear of clipping.
inline constexpr double kToneLevel = 0.25;

inline constexpr SoundTones kSoundTones[] = {
    {SoundEvent::aimStepped, "aimStepped", 25, 0, {{{1760, 14}}}},
    {SoundEvent::shotFired, "shotFired", 50, 0, {{{988, 30}, {659, 40}}}},
    {SoundEvent::invaderHit, "invaderHit", 50, 2, {{{1047, 40}, {1568, 70}}}},
    {SoundEvent::bonusHit, "bonusHit", 50, 0, {{{1319, 60}, {1568, 60}, {2093, 120}}}},
    {SoundEvent::lifeLost, "lifeLost", 50, 0, {{{392, 140}, {330, 140}, {262, 260}}}},
    {SoundEvent::stageCleared,
     "stageCleared",
     50,
     0,
     {{{523, 90}, {659, 90}, {784, 90}, {1047, 200}}}},
    {SoundEvent::gameOver, "gameOver", 50, 0, {{{523, 200}, {392, 200}, {330, 200}, {262, 450}}}},
};

constexpr const SoundTones& tonesOf(SoundEvent event) {
    for (const SoundTones& sound : kSoundTones) {
        if (sound.event == event) {
            return sound;
        }
    }
    return kSoundTones[0];
}

// The pitch `tone` of `sound` sounds at for a hit in `slot` (1 to 6; any other is the first).
inline double toneHz(const SoundTones& sound, Tone tone, int slot) {
    const int above = slot > 1 && slot <= 6 ? slot - 1 : 0;
    return tone.hz * std::exp2(sound.semitonesPerSlot * above / 12.0);
}

// The whole run's length.
constexpr int soundMs(const SoundTones& sound) {
    int ms = 0;
    for (Tone tone : sound.tones) {
        ms += tone.ms;
    }
    return ms;
}

} // namespace platform
