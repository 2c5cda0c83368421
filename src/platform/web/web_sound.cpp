#include "platform/web/web_sound.h"

#include <emscripten.h>

namespace platform {
namespace {

// clang-format off
EM_JS(void, pageStartSound, (), {
    const sound = window.kestrilonSound = {context: null, shapes: {}, started: 0};
    const wake = () => {
        try {
            const Context = window.AudioContext || window.webkitAudioContext;
            sound.context = sound.context || (Context ? new Context() : null);
            if (sound.context && sound.context.state !== "running") {
                sound.context.resume().catch(() => {});
            }
        } catch (error) {
            sound.context = null;
        }
    };
    for (const type of ["keydown", "touchstart", "pointerdown"]) {
        window.addEventListener(type, wake, {capture: true, passive: true});
    }
});

EM_JS(void, pageTone, (double startMs, double hz, double ms, int dutyPercent, double level,
                       double attackMs, double releaseMs), {
    const sound = window.kestrilonSound;
    const context = sound && sound.context;
    if (!context || context.state !== "running") {
        return;
    }
    // A pulse of the tone's duty, from its harmonics.
    let shape = sound.shapes[dutyPercent];
    if (!shape) {
        const real = new Float32Array(32);
        for (let n = 1; n < 32; ++n) {
            real[n] = 2 * Math.sin(Math.PI * n * dutyPercent / 100) / (Math.PI * n);
        }
        shape = sound.shapes[dutyPercent] = context.createPeriodicWave(real, new Float32Array(32));
    }
    const start = context.currentTime + startMs / 1000;
    const end = start + ms / 1000;
    const oscillator = context.createOscillator();
    const gain = context.createGain();
    oscillator.setPeriodicWave(shape);
    oscillator.frequency.value = hz;
    gain.gain.setValueAtTime(0, start);
    gain.gain.linearRampToValueAtTime(level, start + attackMs / 1000);
    gain.gain.setValueAtTime(level, end - releaseMs / 1000);
    gain.gain.linearRampToValueAtTime(0, end);
    oscillator.connect(gain).connect(context.destination);
    oscillator.start(start);
    oscillator.stop(end);
    ++sound.started;
});
// clang-format on

} // namespace

WebSound::WebSound() {
    pageStartSound();
}

void WebSound::play(SoundCue cue) {
    const SoundTones& sound = tonesOf(cue.event);
    double startMs = 0;
    for (const Tone tone : sound.tones) {
        if (tone.ms == 0) {
            break;
        }
        if (tone.hz != 0) {
            pageTone(startMs, toneHz(sound, tone, cue.slot), tone.ms, sound.dutyPercent, kToneLevel,
                     kAttackMs, kReleaseMs);
        }
        startMs += tone.ms;
    }
}

} // namespace platform
