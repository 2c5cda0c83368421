// One picture load in a child process, so that a hostile file's cost is measured on its own and
// a file that hangs or crashes the reader fails one case instead of the whole test run.
//
// Called by the hostile-file and regression-corpus tests, from the test's thread. The child gets
// one second of CPU (the kernel stops it after that) and reports what the load gave and how far
// its resident set grew. The growth is the peak during the load over the resident set just
// before it, after /proc/self/clear_refs has reset the peak: memory the parent used before the
// fork cannot hide a load's own, as it would in a plain ru_maxrss delta. Under the sanitizers the
// growth includes their shadow memory. That is the POSIX and Linux version
// (bounded_load_posix.cpp). Windows has no fork and no way to reset a process's peak: there
// (bounded_load_win32.cpp) the load runs in the test's own process, so a crash fails the whole
// run, and the growth is the process's peak working set after the load over its working set
// before: never less than the load's own growth, more when an earlier peak was higher.
#pragma once

#include "image/picture_file.h"

#include <gtest/gtest.h>

#include <functional>

struct BoundedLoad {
    bool finished = false; // the child ran the load to its end within its CPU time and reported
    int result = 0;        // what the load returned
    PictureFormat format = PictureFormat::None;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool bitmapConsistent = false; // a bitmap exactly when loaded, of the stated size
    long peakGrowthKib = -1;       // -1 when the peak could not be reset
};

inline constexpr long kHostileMemoryKib = 64 * 1024;

inline void expectBoundedGrowth(const BoundedLoad& got) {
    EXPECT_GE(got.peakGrowthKib, 0) << "the peak memory could not be measured";
    EXPECT_LT(got.peakGrowthKib, kHostileMemoryKib);
}

BoundedLoad loadBounded(const std::function<int(PictureFile&)>& load);
