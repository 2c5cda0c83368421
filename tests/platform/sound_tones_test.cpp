// The sounds as data, and as the samples every desktop host plays them from.
#include "platform/sound_tones.h"
#include "platform/tone_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using platform::SoundEvent;

std::vector<float> samplesOf(platform::SoundCue cue, int frames) {
    platform::ToneMixer mixer(platform::kSampleRate);
    mixer.start(cue);
    std::vector<float> out(static_cast<std::size_t>(frames));
    mixer.mix(out.data(), frames);
    return out;
}

int risingEdges(const std::vector<float>& samples, int from, int to) {
    int edges = 0;
    for (int i = from + 1; i < to; ++i) {
        edges += samples[i - 1] < 0 && samples[i] > 0;
    }
    return edges;
}

TEST(SoundTones, EachEventAsItsTonesAndTheSamplesMadeOfThem) {
    const struct {
        SoundEvent event;
        double firstHz;
        int tones;
        int totalMs;
    } rows[] = {
        {SoundEvent::aimStepped, 1760, 1, 14},  {SoundEvent::shotFired, 988, 2, 70},
        {SoundEvent::invaderHit, 1047, 2, 110}, {SoundEvent::bonusHit, 1319, 3, 240},
        {SoundEvent::lifeLost, 392, 3, 540},    {SoundEvent::stageCleared, 523, 4, 470},
        {SoundEvent::gameOver, 523, 4, 1050},
    };
    constexpr int kPerMs = platform::kSampleRate / 1000;
    for (const auto& row : rows) {
        const platform::SoundTones& sound = platform::tonesOf(row.event);
        ASSERT_EQ(sound.event, row.event);
        EXPECT_EQ(sound.tones[0].hz, row.firstHz) << sound.name;
        EXPECT_EQ(std::count_if(sound.tones.begin(), sound.tones.end(),
                                [](platform::Tone tone) { return tone.ms != 0; }),
                  row.tones)
            << sound.name;
        EXPECT_EQ(platform::soundMs(sound), row.totalMs) << sound.name;

        const int first = sound.tones[0].ms * kPerMs;
        const std::vector<float> samples = samplesOf({row.event, 1}, (row.totalMs + 5) * kPerMs);
        const auto peak =
            std::max_element(samples.begin(), samples.begin() + first,
                             [](float a, float b) { return std::abs(a) < std::abs(b); });
        EXPECT_NEAR(std::abs(*peak), platform::kToneLevel, 1e-6) << sound.name;
        // Attack and release: no step at a tone's edges, silence once the sound is over.
        EXPECT_LT(std::abs(samples[0]), 0.01) << sound.name;
        EXPECT_LT(std::abs(samples[first - 1]), 0.1 * platform::kToneLevel) << sound.name;
        EXPECT_EQ(samples.back(), 0.0f) << sound.name;
        // The pitch: rising edges over the first tone's steady middle.
        const int edges = risingEdges(samples, first / 4, 3 * first / 4);
        EXPECT_NEAR(edges, row.firstHz * sound.tones[0].ms / 2000.0, 2) << sound.name;
    }
    // The farther the invader stood, the higher the hit rings.
    const int length = 30 * kPerMs;
    const int nearest = risingEdges(samplesOf({SoundEvent::invaderHit, 1}, length), 0, length);
    const int farthest = risingEdges(samplesOf({SoundEvent::invaderHit, 6}, length), 0, length);
    EXPECT_NEAR(farthest, nearest * std::exp2(10 / 12.0), 2);
}

} // namespace
