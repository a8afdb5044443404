#include <gtest/gtest.h>
#include "emu/runner/key_script.h"
#include "host/ewidget.h"

using runner::ScriptStep;
using Kind = ScriptStep::Kind;

namespace {
std::vector<ScriptStep> keys(const std::string& text) {
    std::vector<ScriptStep> steps;
    std::string error;
    EXPECT_TRUE(runner::parseKeyList(text, steps, error)) << error;
    return steps;
}
}  // namespace

TEST(KeyScript, NamesMapToRemoteCodesAndRunnerSteps) {
    auto steps = keys("  0 9 ok exit up down left right pageup pagedown red green yellow blue wait dump shot ");
    ASSERT_EQ(steps.size(), 17u);
    const int codes[] = {rcKey0, rcKey0 + 9, rcOk, rcExit, rcUp, rcDown, rcLeft, rcRight, 0x21, 0x22,
                         rcRed, rcGreen, rcYellow, rcBlue};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(steps[i].kind, Kind::Key) << i;
        EXPECT_EQ(steps[i].code, codes[i]) << i;
    }
    EXPECT_EQ(steps[14].kind, Kind::Wait);
    EXPECT_EQ(steps[15].kind, Kind::Dump);
    EXPECT_EQ(steps[16].kind, Kind::Shot);
}

TEST(KeyScript, QuotedTextKeepsBlanksAndEscapes) {
    auto steps = keys("text:\"two  words\" ok text:plain text:\"say \\\"hi\\\" \\\\ back\" text:");
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].kind, Kind::Text);
    EXPECT_EQ(steps[0].text, "two  words");
    EXPECT_EQ(steps[1].code, rcOk);
    EXPECT_EQ(steps[2].text, "plain");
    EXPECT_EQ(steps[3].text, "say \"hi\" \\ back");
    EXPECT_EQ(steps[4].kind, Kind::Text);
    EXPECT_EQ(steps[4].text, "");
}

TEST(KeyScript, BadScriptsAreRejectedNamingTheProblem) {
    // Unknown names (lower case only, no two-digit keys), an open quote.
    const std::pair<const char*, const char*> lists[] = {
        {"ok menu ok", "\"menu\""}, {"OK", "\"OK\""}, {"10", "\"10\""}, {"text:\"open ended", "quote"}};
    std::vector<ScriptStep> steps;
    std::string error;
    for (const auto& [text, named] : lists) {
        EXPECT_FALSE(runner::parseKeyList(text, steps, error)) << text;
        EXPECT_NE(error.find(named), std::string::npos) << error;
    }
    // In a file, the error names the line.
    EXPECT_FALSE(runner::parseKeyLines("ok\n\nenter\n", steps, error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_NE(error.find("\"enter\""), std::string::npos) << error;
}

TEST(KeyScript, FileTakesOneStepPerLineWithCommentsAndBlankLines) {
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(runner::parseKeyLines("# open the shoutbox\n3\r\n\n   ok  \ntext:hello there\n"
                                      "text:\"  padded \"\nwait",
                                      steps, error))
        << error;
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].code, rcKey0 + 3);
    EXPECT_EQ(steps[1].code, rcOk);
    EXPECT_EQ(steps[2].text, "hello there");
    EXPECT_EQ(steps[3].text, "  padded ");
    EXPECT_EQ(steps[4].kind, Kind::Wait);
}
