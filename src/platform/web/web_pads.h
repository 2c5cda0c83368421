// Controllers in a page, through the browser's Gamepad API: pads of the "standard" layout, read
// at the browser's frames only while one is connected (gamepadconnected and gamepaddisconnected
// say when), so a page without one runs nothing. A press is the key-down pad_keys.h names,
// handed to the window as the page's keys are. The page's root element carries data-pad while
// a pad is connected, so that the page's lines can name its buttons.
//
// Threads: the page's one.
#pragma once

namespace platform {

class WebWindowHost;

// From now on the pads' presses go to `window`, which must outlive the page.
void readPadsInto(WebWindowHost& window);

} // namespace platform
