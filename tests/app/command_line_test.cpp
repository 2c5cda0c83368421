#include "app/command_line.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

constexpr bool kOnWindows = KESTRILON_ON_WINDOWS;

using Action = CommandLine::Action;

CommandLine parse(std::vector<const char*> arguments, const char* scaleVariable = nullptr) {
    arguments.insert(arguments.begin(), "kestrilon");
    return parseCommandLine(static_cast<int>(arguments.size()), arguments.data(), scaleVariable);
}

TEST(CommandLine, ActionsAndScale) {
    EXPECT_EQ(parse({}).action, Action::play);
    EXPECT_EQ(parse({}).scale, 0) << "the desktop decides";
    EXPECT_EQ(parse({"--help"}).action, Action::help);
    EXPECT_EQ(parse({"-h"}).action, Action::help);
    EXPECT_EQ(parse({"--forget-best"}).action, Action::forgetBest);
    EXPECT_EQ(parse({"--print-best-replay"}).action, Action::printBestReplay);
    EXPECT_EQ(parse({"--replay", "best", "--scale", "2"}).replay, "best");
    EXPECT_EQ(parse({"--speed", "4", "--replay", "best"}).watchPace, 4u);
    EXPECT_TRUE(parse({"--daily"}).daily);
    EXPECT_EQ(parse({"--scale", "2", "--version"}).action, Action::version);
    EXPECT_EQ(parse({"--scale", "3"}).scale, 3);
    EXPECT_TRUE(parse({"--scale", "2", "--mute"}).mute);
    EXPECT_FALSE(parse({"--scale", "2"}).mute);
    EXPECT_EQ(parse({"--scale=4"}).scale, 4);
    EXPECT_EQ(parse({"--scale", "8"}).scale, 8) << "the largest";
    EXPECT_EQ(parse({}, "2").scale, 2);
    EXPECT_EQ(parse({"--scale", "5"}, "2").scale, 5) << "the option wins";

    const CommandLine badVariable = parse({}, "huge");
    EXPECT_EQ(badVariable.action, Action::play);
    EXPECT_EQ(badVariable.scale, 0);
    EXPECT_NE(badVariable.message.find("KESTRILON_SCALE=huge"), std::string::npos);
    EXPECT_TRUE(parse({"--scale", "1"}, "huge").message.empty());

    for (const auto& wrong :
         std::vector<std::vector<const char*>>{{"--fly"},
                                               {"--replay"},
                                               {"--scale"},
                                               {"--scale", "0"},
                                               {"--scale", "9"},
                                               {"--scale=two"},
                                               {"--speed", "3", "--replay", "x"},
                                               {"--speed", "2"},
                                               {"x"}}) {
        const CommandLine result = parse(wrong);
        EXPECT_EQ(result.action, Action::usageError) << wrong[0];
        EXPECT_FALSE(result.message.empty());
    }
    EXPECT_EQ(parse({"--fly"}).message, "unknown option: --fly");
    EXPECT_NE(parse({"--scale=two"}).message.find("\"two\""), std::string::npos);
    EXPECT_EQ(parse({"/?"}).action, kOnWindows ? Action::help : Action::usageError)
        << "Windows' way of asking for help, a file name on POSIX";
}

TEST(CommandLine, AnswersWithTheExitCode) {
    std::optional<Replay> replay;
    testing::internal::CaptureStdout();
    EXPECT_EQ(answerCommandLine(parse({"--version"}), {}, replay), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "kestrilon " KESTRILON_VERSION "\n");
    testing::internal::CaptureStdout();
    answerCommandLine(parse({"-h"}), "kept/best-score", replay);
    const std::string help = testing::internal::GetCapturedStdout();
    EXPECT_NE(help.find("-h, "), std::string::npos);
    EXPECT_NE(help.find("\n  kept/best-score\n"), std::string::npos) << "names the file";
    if (kOnWindows) {
        EXPECT_EQ(help.find("SDL"), std::string::npos) << "no such thing on Windows";
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(answerCommandLine(parse({"--fly"}), {}, replay), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Usage: kestrilon"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_EQ(answerCommandLine(parse({}, "huge"), {}, replay), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kestrilon: KESTRILON_SCALE=huge is not a whole number from 1 to 8; ignored\n");
    for (const auto& [arguments, exitCode, said] :
         std::vector<std::tuple<std::vector<const char*>, int, std::string>>{
             {{"--replay", "K1.AAAA"}, 2, "kestrilon: the replay code is damaged\n"},
             {{"--replay", " K1.AAAA\r\n"}, 2, "kestrilon: the replay code is damaged\n"},
             {{"--replay", ""}, 2, "kestrilon: the replay code is empty\n"},
             {{"--replay", "best"}, 1, "no best game is kept"},
             {{"--print-best-replay"}, 1, "no best game is kept"}}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(answerCommandLine(parse(arguments), {}, replay), exitCode) << arguments[0];
        EXPECT_NE(testing::internal::GetCapturedStderr().find(said), std::string::npos) << said;
    }
}

} // namespace
