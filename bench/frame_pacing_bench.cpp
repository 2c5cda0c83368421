// How evenly the frame pacer holds 17 ms frames on the machine's clock, beside a reference pacer
// measured in the same run on a thread of its own: one that sleeps to absolute 17 ms deadlines
// kept in nanoseconds and never restarts its schedule.
//
// usage: kestrilon-bench-pacing [frames]   (default 10000, about three minutes)
// Prints rows of a Markdown table: figure, ours, reference.
#include "runtime/frame_pacer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrameMs = 17;

struct Summary {
    double mean = 0;
    double p50 = 0;
    double p99 = 0;
    double worst = 0;
};

// Frame lengths in milliseconds: the time between one return of `wait` and the next.
std::vector<double> timeFrames(int frames, const std::function<void()>& wait) {
    std::vector<double> lengths;
    lengths.reserve(static_cast<std::size_t>(frames));
    wait(); // the first wait only sets the schedule
    Clock::time_point last = Clock::now();
    for (int i = 0; i < frames; ++i) {
        wait();
        const Clock::time_point now = Clock::now();
        lengths.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    return lengths;
}

Summary summarise(const std::vector<double>& lengths) {
    Summary summary;
    std::vector<double> errors;
    for (double length : lengths) {
        summary.mean += length / static_cast<double>(lengths.size());
        errors.push_back(std::abs(length - kFrameMs));
    }
    std::sort(errors.begin(), errors.end());
    auto percentile = [&](double p) {
        return errors[static_cast<std::size_t>(p * static_cast<double>(errors.size() - 1))];
    };
    summary.p50 = percentile(0.5);
    summary.p99 = percentile(0.99);
    summary.worst = errors.back();
    return summary;
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10000;
    std::vector<double> reference;
    std::thread referenceThread([&] {
        // Half a frame out of step with the game's pacer, so the two do not wake together.
        std::this_thread::sleep_for(std::chrono::microseconds(8500));
        Clock::time_point deadline = Clock::now();
        reference = timeFrames(frames, [&] {
            deadline += std::chrono::milliseconds(kFrameMs);
            std::this_thread::sleep_until(deadline);
        });
    });
    const std::vector<double> game = timeFrames(frames, [] { FramePacer::wait(kFrameMs); });
    referenceThread.join();

    const Summary ours = summarise(game);
    const Summary theirs = summarise(reference);
    std::printf("| frame interval error over %d frames of 17 ms | p50 %.3f ms, p99 %.3f ms, "
                "worst %.2f ms, mean %.4f ms | absolute deadlines: p50 %.3f ms, p99 %.3f ms, "
                "worst %.2f ms, mean %.4f ms |\n",
                frames, ours.p50, ours.p99, ours.worst, ours.mean, theirs.p50, theirs.p99,
                theirs.worst, theirs.mean);
}
