// The pace of watching a replay: 1x, 2x or 4x. Only the machine's clock follows it (clock.h): its
// tick count runs that many times faster and its sleeps are that many times shorter, so the game,
// its key reads and its frames are the same at every pace. A backend clock never follows it.
//
// While a replay plays back, the keys 1, 2 and 4 set the pace. Like the mute key
// (sound_output.h) they are taken before the key latch, so the replay never sees them; outside a
// replay they are the game's keys.
//
// Threads: startWatching and stopWatching on the game thread, takePaceKey on the window thread,
// watchPace on any. One atomic word and no lock, so that a key taken as the replay ends can never
// leave its pace behind it.
#pragma once

#include <cstdint>

namespace platform {

// A replay starts playing back, at `pace` (1, 2 or 4).
void startWatching(std::uint32_t pace);
// Its GAME OVER: 1x again, and 1, 2 and 4 are the game's keys.
void stopWatching();
// A key-down about to reach the latch: true when the key set the pace of the replay playing back,
// false when it is the game's.
bool takePaceKey(std::uint32_t virtualKey);
// 1, 2 or 4.
std::uint32_t watchPace();

} // namespace platform
