// The page's sound through Web Audio, in a few lines of our own JavaScript: each tone of a sound
// (sound_tones.h) an oscillator of the tone's pulse shape with a gain that rises and falls.
//
// Implemented features:
//  [x] The audio context made, or resumed, at the player's first key or touch, as browsers
//      require; sounds before it are dropped, silently.
//  [x] No Web Audio in the browser, or a context that will not run: the game plays on, silently,
//      with nothing said.
//  [x] window.kestrilonSound.started counts the tones started, for the page's tests.
//
// Threads: the page has one.
#pragma once

#include "platform/sound_output.h"

namespace platform {

class WebSound final : public SoundOutput {
  public:
    WebSound();
    void play(SoundCue cue) override;
};

} // namespace platform
