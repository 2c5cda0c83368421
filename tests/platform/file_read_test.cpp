#include "platform/file_read.h"

#include "platform/scratch_dir.h"
#include "platform/special_file.h"

#include <gtest/gtest.h>

#include <filesystem>

using platform::readFile;
using platform::readFileHead;

TEST(FileRead, GameNamesKeepTheirBackslashUntilHere) {
    const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
    EXPECT_EQ(platform::hostPath("bmp\\065.bmp"), "bmp" + separator + "065.bmp");
    EXPECT_EQ(platform::hostPath("a\\b\\c"), "a" + separator + "b" + separator + "c");
    EXPECT_EQ(platform::hostPath("plain.bmp"), "plain.bmp");

    const ScratchDir dir;
    dir.write("bmp/065.bmp", {1, 2, 3});
    const auto bytes = readFile((dir.path("bmp") + "\\065.bmp").c_str(), 100);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(FileRead, WholeFileUpToTheCap) {
    const ScratchDir dir;
    const std::vector<std::uint8_t> ten(10, 7);
    const std::string name = dir.write("ten.bin", ten);
    EXPECT_EQ(readFile(name.c_str(), 10), ten);
    EXPECT_FALSE(readFile(name.c_str(), 9).has_value());
    const std::string empty = dir.write("empty.bin", {});
    ASSERT_TRUE(readFile(empty.c_str(), 10).has_value());
    EXPECT_TRUE(readFile(empty.c_str(), 10)->empty());
}

TEST(FileRead, HeadIsTheFirstBytesOfAnyLength) {
    const ScratchDir dir;
    const std::string name = dir.write("five.bin", {1, 2, 3, 4, 5});
    const auto three = readFileHead(name.c_str(), 3);
    ASSERT_TRUE(three.has_value());
    EXPECT_EQ(three->bytes, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(three->fileLength, 5u);
    EXPECT_EQ(readFileHead(name.c_str(), 8)->bytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
}

TEST(FileRead, OnlyRegularFilesAreRead) {
    const ScratchDir dir;
    dir.write("sub/file.bin", {1});
    EXPECT_FALSE(readFile(dir.path("missing.bin").c_str(), 100).has_value());
    EXPECT_FALSE(readFileHead(dir.path("missing.bin").c_str(), 8).has_value());
    EXPECT_FALSE(readFile(dir.path("sub").c_str(), 100).has_value());
    EXPECT_FALSE(readFileHead(dir.path("sub").c_str(), 8).has_value());
    EXPECT_FALSE(readFile(nullptr, 100).has_value());
    const std::string device = makeSpecialFile(dir);
    EXPECT_FALSE(readFile(device.c_str(), 100).has_value());
    EXPECT_FALSE(readFileHead(device.c_str(), 8).has_value());
}
