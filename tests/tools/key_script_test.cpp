#include "key_script.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

bool parse(const std::string& text, std::vector<sim::ScriptedKey>& keys, sim::ScriptError& error) {
    std::istringstream in(text);
    return sim::parseKeyScript(in, keys, error);
}

TEST(KeyScript, NamesCodesCommentsAndBlankLines) {
    std::vector<sim::ScriptedKey> keys;
    sim::ScriptError error;
    const std::string longestLine = "86400000 Z #" + std::string(1024 - 12, '-');
    ASSERT_TRUE(
        parse("# a game\n0 Enter\n\n  1700   X  # aim\n1700 Z\n2000 E\n2100 Shift\n2200 65\n" +
                  longestLine,
              keys, error))
        << error.message;
    ASSERT_EQ(keys.size(), 7u);
    const std::uint8_t codes[] = {13, 0x58, 0x5A, 0x45, 16, 65, 0x5A};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].code, codes[i]);
    }
    EXPECT_EQ(keys[1].ms, 1700u);
    EXPECT_EQ(keys[5].ms, 2200u);
    EXPECT_EQ(keys[6].ms, 86400000u) << "the last moment of the 24 hours";
}

TEST(KeyScript, MalformedLinesAreNamed) {
    const struct {
        std::string script;
        int line;
    } cases[] = {
        {"0 Enter\n5\n", 2},                               // no key
        {"-1 X\n", 1},                                     // negative time
        {"10 X\n5 Z\n", 2},                                // time goes back
        {"0 x\n", 1},                                      // names are exact
        {"0 0\n", 1},                                      // code 0 is no key
        {"0 256\n", 1},                                    // beyond a byte
        {"0 X Z\n", 1},                                    // trailing word
        {"1.5 X\n", 1},                                    // not whole
        {"\n\n99999999999 X\n", 3},                        // beyond the clock
        {"86400001 X\n", 1},                               // beyond 24 hours
        {"0 Enter\n0x10 X\n", 2},                          // not decimal
        {"0 X #" + std::string(1021, '-') + "\n1 X\n", 1}, // 1025 bytes
        {std::string("0 X\n1 Z\0\n", 10), 2},              // a NUL byte in the key
    };
    for (const auto& c : cases) {
        std::vector<sim::ScriptedKey> keys;
        sim::ScriptError error;
        EXPECT_FALSE(parse(c.script, keys, error)) << c.script;
        EXPECT_EQ(error.line, c.line) << c.script;
        EXPECT_FALSE(error.message.empty());
    }
}

} // namespace
