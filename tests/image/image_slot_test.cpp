#include "image/image_slot.h"
#include "image/image_slot_support.h"
#include "image/picture_budget.h"
#include "platform/scratch_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace {

TEST(ImageSlot, LoadMakesThePictureCurrentAndTheReaderFillsTheTableInReadingOrder) {
    ScratchDir dir;
    const std::string file = dir.write("pictures/three.bmp", gradient(3, 2));
    ImageSlot slot;
    slot.construct();
    ASSERT_EQ(slot.load(file.c_str()), 1);
    ASSERT_NE(slot.bitmap, nullptr);
    EXPECT_EQ(slot.bitmap->width, 3);
    ASSERT_TRUE(waitForPixels(slot));
    std::lock_guard guard(slot.lock);
    // GetPixel's layout: red in the low byte, blue in the third.
    const std::uint32_t expected[] = {0x070000, 0x070001, 0x070002, 0x070100, 0x070101, 0x070102};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(slot.pixels[i], expected[i]) << "entry " << i;
    }
}

TEST(ImageSlot, RowPauseIsRefusedWhileTheReaderRunsAndNegativeStartsNone) {
    ScratchDir dir;
    const std::string file = dir.write("tall.bmp", gradient(2, 40));
    ImageSlot slot;
    slot.construct();
    ASSERT_EQ(slot.setRowPause(5), 1) << "no reader yet: stored";
    ASSERT_EQ(slot.load(file.c_str()), 1);
    EXPECT_EQ(slot.setRowPause(-1), 0) << "40 rows of 5 ms: the reader is still running";
    EXPECT_EQ(slot.rowPause, 5);
    ASSERT_TRUE(waitForPixels(slot));
    for (int i = 0; i < 100 && slot.setRowPause(-1) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(slot.rowPause, -1);

    ImageSlot quiet;
    quiet.construct();
    quiet.setRowPause(-1);
    ASSERT_EQ(quiet.load(file.c_str()), 1) << "the load itself succeeds";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::lock_guard guard(quiet.lock);
    EXPECT_EQ(quiet.pixelsReady, 0);
    EXPECT_EQ(quiet.pixels, nullptr);
}

TEST(ImageSlot, FailedLoadLeavesNoPictureAndReloadingWaitsForTheReader) {
    ScratchDir dir;
    const std::string good = dir.write("good.bmp", gradient(4, 50));
    const std::string other = dir.write("other.bmp", gradient(2, 2));
    ImageSlot slot;
    slot.construct();
    slot.setRowPause(2);
    ASSERT_EQ(slot.load(good.c_str()), 1);
    // The second load must not free the picture the first reader is still copying.
    ASSERT_EQ(slot.load(other.c_str()), 1);
    EXPECT_EQ(slot.bitmap->width, 2);
    ASSERT_TRUE(waitForPixels(slot));

    EXPECT_EQ(slot.load(dir.path("missing.bmp").c_str()), 0);
    EXPECT_EQ(slot.bitmap, nullptr);
    EXPECT_EQ(slot.drawAt(0, 0, 0), 0) << "no picture: nothing drawn";
}

TEST(ImageSlot, UnboundSurfaceHasNowhereToDraw) {
    ScratchDir dir;
    const std::string file = dir.write("a.bmp", gradient(2, 2));
    ImageSlot slot;
    slot.construct();
    ASSERT_EQ(slot.load(file.c_str()), 1);
    EXPECT_EQ(slot.drawAt(8, 40, 0), 0);
}

// 72 bytes that load as a picture at the pixel cap: an RLE8 stream that ends at once.
std::vector<std::uint8_t> hugeRle() {
    return makeBmp(rle(kBmpRle8, 4096, 4096, {0, 1}));
}

// An uncompressed 32-bit BMP 4096 wide, `extra` bytes longer than its rows need; sparse.
std::string bmp32(const ScratchDir& dir, const char* name, int height, std::uintmax_t extra) {
    BmpSpec bmp;
    bmp.width = 4096;
    bmp.height = height;
    bmp.bitsPerPixel = 32;
    const std::string path = dir.write(name, makeBmp(bmp));
    std::filesystem::resize_file(path, 54 + 4 * 4096 * height + extra);
    return path;
}

// The slot does not load the file, and one line on stderr names it and the limit it passed.
void expectTurnedAway(ImageSlot& slot, const std::string& file, const std::string& limit) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(slot.load(file.c_str()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kestrilon: " + file + " not loaded: " + limit + " 256 MiB\n");
    EXPECT_EQ(slot.budgetShare, 0);
}

TEST(ImageSlot, AllPicturesTogetherKeepWithinTheBudgetAndAnEmptiedSlotGivesItsShareBack) {
    ScratchDir dir;
    const std::string huge = dir.write("huge.bmp", hugeRle());
    const std::string small = dir.write("small.bmp", gradient(3, 2));
    const std::string cap = bmp32(dir, "cap.bmp", 4096, 0);
    const std::string longer = bmp32(dir, "longer.bmp", 4096, (16 << 20) - 54);
    const std::int64_t counted = pictureBytesCounted;
    const std::int64_t read = pictureBytesRead;
    {
        ImageSlot first;
        ImageSlot second;
        first.construct();
        second.construct();
        ASSERT_EQ(first.load(cap.c_str()), 1) << "its file's 64 MiB are held only while it decodes";
        EXPECT_EQ(first.budgetShare, 12 * 4096 * 4096) << "picture, reader's copy and table";
        expectTurnedAway(second, huge, "the pictures would take more than");
        expectTurnedAway(second, longer, "the pictures would take more than");
        EXPECT_EQ(pictureBytesRead, read + 4 * 4096 * 4096 + 54) << "turned away by its header";
        second.setRowPause(-1);
        expectTurnedAway(second, bmp32(dir, "half.bmp", 2048, 0),
                         "while it decodes, its file and the pictures would take more than");
        pictureBytesRead = kPictureReadBytes - 4096;
        expectTurnedAway(second, dir.write("read.bmp", gradient(128, 128)),
                         "the picture files read would come to more than");
        pictureBytesRead = read;

        ASSERT_EQ(first.load(small.c_str()), 1) << "a reload gives the huge picture's share back";
        EXPECT_EQ(first.budgetShare, 12 * 3 * 2);
        ASSERT_EQ(second.load(huge.c_str()), 1);
        EXPECT_EQ(second.budgetShare, 4 * 4096 * 4096) << "no reader: the picture alone";
        EXPECT_EQ(pictureBytesCounted, counted + 12 * 3 * 2 + 4 * 4096 * 4096);
        second.construct();
        EXPECT_EQ(pictureBytesCounted, counted + 12 * 3 * 2) << "constructing empties the slot";
    }
    EXPECT_EQ(pictureBytesCounted, counted) << "a destroyed slot gives its share back";
}

} // namespace
