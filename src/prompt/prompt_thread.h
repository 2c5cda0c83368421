// The prompt window's thread: it creates the window, serves its messages for the life of the
// process, and ends the process when the window is gone.
//
// Started once by the game's start-up on a thread of its own, with the host it is to use; it
// becomes that host's window thread. Before the window's first paint raises promptWindow.ready
// it publishes promptWindow.handle (the host), the screen size and the back buffer.
//
// Never returns: closing the window ends the process with exit code 0, wherever the game thread
// is. Without a display (the host cannot open or cannot create the window) the host has said so
// on stderr and the process ends with exit code 1: the game waits for the window's first paint
// and would otherwise wait for ever.
#pragma once

#include "platform/window_host.h"

[[noreturn]] void promptThreadMain(platform::WindowHost& window);

// The first half of promptThreadMain on the calling thread, for a host whose messages come from
// an event loop that is not ours (a page's): opens, creates, publishes and shows the window, then
// returns. False when the host could not (it has said why on stderr).
bool openPromptWindow(platform::WindowHost& window);
