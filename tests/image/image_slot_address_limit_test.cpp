// The pixel readers under an address-space limit (POSIX: setrlimit, and Linux's /proc for the
// process's size).
#include "image/image_slot.h"
#include "image/image_slot_support.h"
#include "platform/scratch_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

long addressSpaceKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0) {
            return std::stol(line.substr(7));
        }
    }
    return -1;
}

// With the address space allowed to grow by `roomKib` only, 40 slots load one after another, each
// waiting for its reader. 0 when every picture loaded and `tables` slots got their table filled.
int loadUnderAddressLimit(const std::string& file, long roomKib, int tables) {
    static std::array<ImageSlot, 40> slots;
    const auto limit = static_cast<rlim_t>(addressSpaceKib() + roomKib) * 1024;
    const rlimit space{limit, limit};
    ::setrlimit(RLIMIT_AS, &space);
    int loaded = 0;
    int filled = 0;
    for (ImageSlot& slot : slots) {
        loaded += slot.load(file.c_str());
        filled += slot.pixels != nullptr && waitForPixels(slot) ? 1 : 0;
    }
    return loaded == 40 && filled == tables ? 0 : 1;
}

TEST(ImageSlot, FinishedReadersGiveTheirThreadsBackAndAThreadThatCannotBeMadeLeavesNoTable) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchDir dir;
    const std::string file = dir.write("a.bmp", gradient(24, 40));
    // Room for a few 8 MiB thread stacks: enough when each reader's stack is given back.
    EXPECT_EXIT(std::_Exit(loadUnderAddressLimit(file, 48 * 1024, 40)), testing::ExitedWithCode(0),
                "");
    // No room for any thread: the pictures load and draw, without pixel tables.
    EXPECT_EXIT(std::_Exit(loadUnderAddressLimit(file, 1024, 0)), testing::ExitedWithCode(0), "");
}

} // namespace
