// What a controller's buttons do. A press is a key-down of the keyboard's key for the same move,
// stored in the same key latch, so the game, and a replay of it, cannot tell a pad from a
// keyboard. This is the one table; each host reads its own system's buttons, names them by the
// place they sit in (south is A on some pads and Cross on others) and pushes the key found here.
//
// Pure data and lookups: any thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

enum class PadButton : std::uint8_t { South, East, West, Start, Select, Up, Down };

struct PadKey {
    PadButton button;
    std::uint32_t virtualKey;
};

inline constexpr PadKey kPadKeys[] = {
    {PadButton::South, 'Z'},  // fire
    {PadButton::West, 'X'},   // step the aim
    {PadButton::East, 'E'},   // fire while the row moves
    {PadButton::Start, 0x0D}, // Enter: start a game, skip a banner
    {PadButton::Select, 'M'}, // sound off or on: the host keeps it (sound_output.h)
    // The aim has one direction; either way on the d-pad steps it, for players who look for it
    // there.
    {PadButton::Up, 'X'},
    {PadButton::Down, 'X'},
};

constexpr std::uint32_t keyOfPadButton(PadButton button) {
    for (const PadKey& pad : kPadKeys) {
        if (pad.button == button) {
            return pad.virtualKey;
        }
    }
    return 0;
}

// A system's own name for a button, beside the place it sits in.
template <typename SystemButton>
struct SystemPadButton {
    SystemButton system;
    PadButton button;
};

// The key a system's button stands for, 0 for a button the game has no use for.
template <typename SystemButton, std::size_t n>
constexpr std::uint32_t keyOfSystemButton(const SystemPadButton<SystemButton> (&table)[n],
                                          SystemButton system) {
    for (const SystemPadButton<SystemButton>& entry : table) {
        if (entry.system == system) {
            return keyOfPadButton(entry.button);
        }
    }
    return 0;
}

} // namespace platform
