// Controllers for the Win32 window host, through XInput (xinput1_4.dll, from Windows 8 on),
// loaded at run time so that a system without it runs the game all the same, with no
// controllers. A press of a button becomes the key-down pad_keys.h names.
//
// Nothing is read while no controller is connected: the host asks find() when its window is
// made and whenever the system says a device came or went, and calls read() once a frame only
// while find() or read() said one is connected.
//
// Threads: the window thread alone.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace platform {

// The keys of the buttons down in `now` that were up in `before` (XInput's wButtons bits).
std::vector<std::uint32_t> keysPressed(std::uint16_t before, std::uint16_t now);

class XInputPads {
  public:
    // A slot's buttons (XInput's wButtons bits); false when no controller is connected to it.
    using ReadSlot = std::function<bool(int slot, std::uint16_t& buttons)>;

    // Through xinput1_4.dll.
    XInputPads();
    // Through `readSlot`, a test's stand-in for the DLL.
    explicit XInputPads(ReadSlot readSlot) : readSlot_(std::move(readSlot)) {}
    ~XInputPads();
    XInputPads(const XInputPads&) = delete;
    XInputPads& operator=(const XInputPads&) = delete;

    // Looks at every slot; true when a controller is connected to one.
    bool find();
    // Reads the connected controllers and hands on the keys of their new presses; true while
    // one is still connected.
    bool read(const std::function<void(std::uint32_t)>& keyDown);

  private:
    static constexpr int kSlots = 4;

    void* library_ = nullptr;
    ReadSlot readSlot_;
    // The buttons each slot held at its last reading; connected_ says which slots to read.
    std::array<std::uint16_t, kSlots> buttons_{};
    std::array<bool, kSlots> connected_{};
};

} // namespace platform
