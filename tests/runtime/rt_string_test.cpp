#include "prompt/prompt_window.h"
#include "runtime/rt_string.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>

namespace {

std::string textOf(RtString s) { return {s, static_cast<std::size_t>(stringLength(s))}; }

// Reads a result's text and releases it.
std::string take(RtString s) {
    std::string text = textOf(s);
    stringRelease(s);
    return text;
}

class RtStringTest : public ::testing::Test {
  protected:
    void SetUp() override { runtimeInit(); }
    void TearDown() override { runtimeInit(); }
};

TEST_F(RtStringTest, OperationsConsumeTheirArgumentsAndHandBackOneNewString) {
    RtString kept = stringFromText("ABC");
    EXPECT_EQ(stringCount(), 1);

    EXPECT_EQ(take(stringCopy(kept)), "ABC");
    EXPECT_EQ(stringLength(kept), 3);
    EXPECT_EQ(stringCount(), 1) << "copy and length must not consume";

    EXPECT_EQ(take(stringConcat(stringFromText("AB"), stringFromText("CD"))), "ABCD");
    EXPECT_EQ(take(stringConcat(stringAlloc(0), stringAlloc(0))), "");
    EXPECT_EQ(stringCompare(stringFromText("X"), stringFromText("X")), 2);
    EXPECT_EQ(stringFirstByte(stringFromText("Q")), 'Q');
    EXPECT_EQ(stringCount(), 1) << "every argument and temporary released";

    stringRelease(kept);
    EXPECT_EQ(stringCount(), 0);
}

TEST_F(RtStringTest, MidCutsOneBasedAndAlwaysReleasesTheSource) {
    auto mid = [](std::int32_t start, std::int32_t count) {
        return take(stringMid(stringFromText("ABC"), start, count));
    };
    EXPECT_EQ(mid(0, 1), "");
    EXPECT_EQ(mid(4, 1), "");
    EXPECT_EQ(mid(2, 0), "BC");
    EXPECT_EQ(mid(2, 5), "BC");
    EXPECT_EQ(mid(1, 1), "A");
    EXPECT_EQ(mid(3, 1), "C");
    EXPECT_EQ(mid(-5, 2), "");
    EXPECT_EQ(mid(1, -1), "") << "a negative count is refused";
    EXPECT_EQ(stringCount(), 0);
}

TEST_F(RtStringTest, BytesAndLengthsAtTheEdges) {
    RtString zero = stringFromByte(0);
    EXPECT_EQ(stringLength(zero), 1);
    EXPECT_EQ(stringFirstByte(zero), 0);
    EXPECT_EQ(stringFirstByte(stringAlloc(0)), 0);
    EXPECT_EQ(stringFirstByte(stringFromByte(0xA6)), 0xA6);

    RtString fresh = stringAlloc(4);
    EXPECT_EQ(textOf(fresh), std::string(4, '\0'));
    EXPECT_EQ(fresh[4], '\0');
    stringRelease(fresh);

    EXPECT_EQ(take(stringAlloc(-3)), "") << "a negative length gives the empty string";
    EXPECT_EQ(stringCount(), 0);
}

TEST_F(RtStringTest, CompareIsByteExactAndCaseSensitive) {
    EXPECT_EQ(stringCompare(stringAlloc(0), stringAlloc(0)), 2);
    EXPECT_NE(stringCompare(stringFromText("x"), stringFromText("X")), 2);
    EXPECT_EQ(stringCompare(stringFromText("A"), stringFromText("B")), 1);
    EXPECT_EQ(stringCompare(stringFromText("B"), stringFromText("A")), 3);
    EXPECT_EQ(stringCompare(stringFromText("A"), stringFromText("AB")), 1);
    // Lengths are explicit, so a zero byte takes part.
    EXPECT_NE(stringCompare(stringFromByte(0), stringAlloc(0)), 2);
    EXPECT_EQ(stringCompare(stringFromByte(13), stringFromByte(13)), 2);
    EXPECT_EQ(stringCount(), 0);
}

TEST_F(RtStringTest, ReleasingWhatIsNotALiveStringIsReportedAndChangesNothing) {
    RtString first = stringFromText("one");
    RtString second = stringFromText("two");
    stringRelease(first);

    ::testing::internal::CaptureStderr();
    stringRelease(first);
    stringRelease(second + 1);
    stringRelease(nullptr);
    const std::string output = ::testing::internal::GetCapturedStderr();

    const std::string line =
        "\x96\xa2\x92\x6d\x82\xcc\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x89\xf0\x95\xfa\x82\xb3\x82\xea"
        "\x82\xe6\x82\xa4\x82\xc6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n";
    EXPECT_EQ(output, line + line) << "twice for the two bad pointers, nothing for null";
    EXPECT_EQ(stringCount(), 1);
    EXPECT_EQ(textOf(second), "two");
    stringRelease(second);
    EXPECT_EQ(stringCount(), 0);
}

TEST_F(RtStringTest, RegistryKeepsCreationOrderAndReturnsToZero) {
    std::vector<RtString> made;
    for (int i = 0; i < 50; ++i) {
        made.push_back(stringFromByte(static_cast<std::uint8_t>(i + 1)));
    }
    std::mt19937 shuffle(42);
    std::vector<RtString> order = made;
    std::shuffle(order.begin(), order.end(), shuffle);
    for (std::size_t i = 0; i < order.size(); ++i) {
        stringRelease(order[i]);
        std::vector<RtString> expected;
        std::copy_if(made.begin(), made.end(), std::back_inserter(expected), [&](RtString s) {
            return std::find(order.begin(), order.begin() + static_cast<long>(i) + 1, s) ==
                   order.begin() + static_cast<long>(i) + 1;
        });
        ASSERT_EQ(liveStrings(), expected) << "after " << i + 1 << " releases";
    }
    EXPECT_EQ(stringCount(), 0);
}

TEST_F(RtStringTest, TwoThreadsShareTheRegistry) {
    RtString survivor = stringFromText("kept");
    auto churn = [](char tag) {
        for (int i = 0; i < 20000; ++i) {
            RtString s = stringConcat(stringFromByte(static_cast<std::uint8_t>(tag)), stringFromText("!"));
            if (s[0] != tag || s[1] != '!') {
                ADD_FAILURE() << "string corrupted by the other thread";
            }
            stringRelease(s);
        }
    };
    std::thread other(churn, 'w');
    churn('g');
    other.join();
    EXPECT_EQ(stringCount(), 1);
    EXPECT_EQ(textOf(survivor), "kept");
    stringRelease(survivor);
}

TEST_F(RtStringTest, ReadLastKeyTakesAndClearsTheLatch) {
    promptWindow.lastKey = 0;
    EXPECT_EQ(take(readLastKey()), "");
    promptWindow.lastKey = 0x58;
    EXPECT_EQ(take(readLastKey()), "X");
    EXPECT_EQ(take(readLastKey()), "") << "a read consumes the key";
    EXPECT_EQ(promptWindow.lastKey.load(), 0);
    EXPECT_EQ(stringCount(), 0);
}

} // namespace
