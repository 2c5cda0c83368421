// How evenly the frame pacer holds 17 ms frames on the machine's clock.
// usage: kestrilon-bench-pacing [frames]   (default 300, about five seconds)
#include "runtime/frame_pacer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(2, std::atoi(argv[1])) : 300;
    using Clock = std::chrono::steady_clock;
    std::vector<double> lengthsMs;
    FramePacer::wait(17); // the first wait only sets the schedule
    Clock::time_point last = Clock::now();
    for (int i = 0; i < frames; ++i) {
        FramePacer::wait(17);
        const Clock::time_point now = Clock::now();
        lengthsMs.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    double sum = 0;
    std::vector<double> deviations;
    for (double length : lengthsMs) {
        sum += length;
        deviations.push_back(std::abs(length - 17.0));
    }
    std::sort(deviations.begin(), deviations.end());
    auto percentile = [&](double p) {
        return deviations[static_cast<std::size_t>(p * static_cast<double>(deviations.size() - 1))];
    };
    // A late frame is followed by a short one: the schedule keeps its deadlines.
    std::printf("frames %d: mean %.4f ms; deviation from 17 ms: median %.4f, 90%% %.4f, 99%% %.4f, "
                "worst %.4f ms\n",
                frames, sum / frames, percentile(0.5), percentile(0.9), percentile(0.99),
                deviations.back());
}
