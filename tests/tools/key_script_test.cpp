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
    ASSERT_TRUE(parse("# a game\n0 Enter\n\n  1700   X  # aim\n1700 Z\n2000 E\n2100 Shift\n2200 65\n",
                      keys, error));
    ASSERT_EQ(keys.size(), 6u);
    const std::uint8_t codes[] = {13, 0x58, 0x5A, 0x45, 16, 65};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].code, codes[i]);
    }
    EXPECT_EQ(keys[1].ms, 1700u);
    EXPECT_EQ(keys[5].ms, 2200u);
}

TEST(KeyScript, MalformedLinesAreNamed) {
    const struct {
        const char* script;
        int line;
    } cases[] = {
        {"0 Enter\n5\n", 2},            // no key
        {"-1 X\n", 1},                  // negative time
        {"10 X\n5 Z\n", 2},             // time goes back
        {"0 x\n", 1},                   // names are exact
        {"0 0\n", 1},                   // code 0 is no key
        {"0 256\n", 1},                 // beyond a byte
        {"0 X Z\n", 1},                 // trailing word
        {"1.5 X\n", 1},                 // not whole
        {"\n\n99999999999 X\n", 3},     // beyond the clock
        {"0 Enter\n0x10 X\n", 2},       // not decimal
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
