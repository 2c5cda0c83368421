// The simulator as its users run it: a key script in, redraw lines and an end line out.
#include "game/daily_game.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SimRun {
    int exitCode = -1;
    std::vector<std::string> lines;
    std::string errors;
};

SimRun runSimulator(const std::string& args, const std::string& script) {
    const std::string dir = ::testing::TempDir();
    const std::string input = dir + "/sim_input_" + std::to_string(getpid());
    const std::string errorsFile = input + ".err";
    std::ofstream(input) << script;
    // The arguments last, so that they may redirect the simulator's input and output too.
    const std::string command =
        std::string(KESTRILON_SIM) + " < " + input + " 2> " + errorsFile + " " + args;
    SimRun run;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 256> buffer{};
    std::string line;
    while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        line += buffer.data();
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            run.lines.push_back(line);
            line.clear();
        }
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::stringstream errors;
    errors << std::ifstream(errorsFile).rdbuf();
    run.errors = errors.str();
    std::remove(input.c_str());
    std::remove(errorsFile.c_str());
    return run;
}

TEST(Simulator, PrintsEveryRedrawAndTheEndLine) {
    const SimRun run = runSimulator("--until 2000", "0 Enter\n1683 X\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_GE(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[0], "0 5055534820454e5445520000") << "the title";
    EXPECT_EQ(run.lines[1], "0 000000000000000000000000") << "Enter clears it";
    EXPECT_EQ(run.lines[2], "0 302a00000000000000000000") << "aim 0, three lives";
    EXPECT_EQ(run.lines[3], "1683 302a20000000000000000000") << "the first advance, frame 100";
    EXPECT_EQ(run.lines.back(), "end 1989 0 0 3") << "the last sleep that fits ends at 1989";

    SimRun sounding = runSimulator("--sounds --until 2000", "0 Enter\n1683 X\n");
    ASSERT_EQ(sounding.exitCode, 0) << sounding.errors;
    ASSERT_GE(sounding.lines.size(), 6u);
    EXPECT_EQ(sounding.lines[5], "1683 sound aimStepped") << "after the redraw it sounds for";
    sounding.lines.erase(sounding.lines.begin() + 5);
    EXPECT_EQ(sounding.lines, run.lines) << "with the sounds left out, the same lines";
}

TEST(Simulator, SameSeedSameGameOtherSeedOtherInvaders) {
    const std::string script = "0 Enter\n";
    const SimRun first = runSimulator("--seed 5 --until 9000", script);
    const SimRun again = runSimulator("--seed 5 --until 9000", script);
    const SimRun other = runSimulator("--seed 6 --until 9000", script);
    EXPECT_EQ(first.lines, again.lines);
    EXPECT_NE(first.lines, other.lines);
    const std::string daySeed = std::to_string(dailySeed(*parseCalendarDate("2026-12-08")));
    EXPECT_EQ(runSimulator("--daily 2026-12-08 --until 9000", script).lines,
              runSimulator("--seed " + daySeed + " --until 9000", script).lines);
}

TEST(Simulator, DefaultsStopAMinuteAfterTheLastKey) {
    const SimRun run = runSimulator("", "0 Enter\n100 Shift\n");
    ASSERT_EQ(run.exitCode, 0);
    const std::string& end = run.lines.back();
    ASSERT_EQ(end.rfind("end ", 0), 0u);
    const long ms = std::stol(end.substr(4));
    EXPECT_LE(ms, 60100);
    EXPECT_GT(ms, 60100 - 17);
    const SimRun atTitle = runSimulator("--until 1000", "5000 Enter\n");
    EXPECT_EQ(atTitle.lines.back().rfind("end 1000 ", 0), 0u) << "the title's wait keeps --until";
}

TEST(Simulator, TheSameScriptPlaysTheSameGameFromAnyStartTick) {
    // Enter at once, then nothing: three misses and GAME OVER, about a minute of play. The
    // engine's 32-bit tick count wraps within the game for the starts near its end.
    const std::string script = "0 Enter\n1683 X\n3400 Z\n";
    const SimRun usual = runSimulator("--until 70000", script);
    ASSERT_EQ(usual.exitCode, 0) << usual.errors;
    for (const char* start : {"0", "4294962296", "4294967290", "4294967295", "2147483648"}) {
        const SimRun run = runSimulator("--until 70000 --start-tick " + std::string(start), script);
        EXPECT_EQ(run.lines, usual.lines) << "--start-tick " << start;
    }
}

// A change to this game changes the codes' prefix (game/replay_code.h).
TEST(Simulator, APinnedReplayCodePlaysItsOneGameReadingNoScriptPastAMinuteToItsTitle) {
    const SimRun run = runSimulator(
        "--replay "
        "K1."
        "swHqD1lkkgHDAdkC2QKSATCRAdkC2QKSAcMB2QLZApIBwwHGAZEB2QKSAcMB2QLZApIBwwHZAsYBkQGSAcMB2QLZAp"
        "IBwwHZAtkCkgEwkQHZAtkCkgHDAdkC2QKSAcMBxgGRAdkCkgHDAdkC2QKSAcMB2QLGAZEBkgHDAdkC2QKSAcMB2QLZ"
        "ApIBMJEB2QLZApIBwwHZAtkCkgHDAcYBkQHZApIBwwHZAtkCkgHDAdkCxgHL8A",
        "ten X\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::uint64_t digest = 14695981039346656037u; // FNV-1a of the output
    for (const std::string& line : run.lines) {
        for (const char c : line + "\n") {
            digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211u;
        }
    }
    EXPECT_EQ(run.lines.back(), "end 60962 180 0 0");
    EXPECT_EQ(digest, 17960649588559196409u);
}

TEST(Simulator, MalformedInputRunsNothing) {
    const SimRun bad = runSimulator("", "0 Enter\nten X\n");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.lines.empty());
    EXPECT_NE(bad.errors.find("line 2"), std::string::npos) << bad.errors;

    // Echoed text is cut short and cannot reach the terminal as escape sequences.
    const SimRun hostile = runSimulator("", "0 \x1b[2J" + std::string(1000, 'Z') + "\n");
    EXPECT_EQ(hostile.exitCode, 2);
    EXPECT_NE(hostile.errors.find("\"\\x1b[2JZZZ"), std::string::npos) << hostile.errors;
    EXPECT_LT(hostile.errors.size(), 200u);
    EXPECT_EQ(runSimulator("", std::string(3 << 20, '0')).exitCode, 2) << "one endless line";
    const SimRun unreadable = runSimulator("< /", "");
    EXPECT_EQ(unreadable.exitCode, 2) << "a read error is no end of the script";
    EXPECT_NE(unreadable.errors.find("cannot read the script"), std::string::npos);

    for (const char* args :
         {"--seed", "--until -4", "--until 86400001", "--start-tick 4294967296", "--colour red",
          "--replay ''", "--replay K1.AAAA", "--daily 2026-02-29", "--daily 2026-12-08 --seed 5"}) {
        EXPECT_EQ(runSimulator(args, "").exitCode, 2) << args;
    }
}

TEST(Simulator, OutputThatCannotBeWrittenFailsTheRun) {
    for (const char* output : {"> /dev/full", ">&-"}) {
        const SimRun run = runSimulator(output, "0 Enter\n");
        EXPECT_EQ(run.exitCode, 1) << output;
        EXPECT_NE(run.errors.find("kestrilon-sim: "), std::string::npos) << output;
    }
}

} // namespace
