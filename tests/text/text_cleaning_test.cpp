#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "text/text_cleaning.h"

namespace {
std::string decode(std::string s) {
    replace_sonderzeichen(s.data());
    return s.c_str();
}
std::string replaced(std::string s, const char* pattern, const char* replacement) {
    replace(s.data(), pattern, replacement);
    return s.c_str();
}
}  // namespace

TEST(EntityDecoding, CascadeFollowsTableOrder) {
    EXPECT_EQ(decode("&amp;lt;"), "&lt;");            // &lt; ran before &amp;
    EXPECT_EQ(decode("&amp;auml;"), "\xC3\xA4");      // the letters run after it
    EXPECT_EQ(decode("Tom &amp;amp;auml;"), "Tom &amp;auml;");  // one level per row
    EXPECT_EQ(decode("&lt;b&gt; &quot;x&quot;"), "<b> \"x\"");
}

TEST(EntityDecoding, KeepsTheTablesOddities) {
    EXPECT_EQ(decode("&aacute;"), "a");
    EXPECT_EQ(decode("&uacute;"), "\xC3\xB9");
    EXPECT_EQ(decode("5&deg; 2&trade;"), "5 2");
    EXPECT_EQ(decode("Fish &laquo;n&raquo; Chips"), "Fish 'n' Chips");
    EXPECT_EQ(decode("a&hellip;b&ndash;c&#169;"), "a...b-c\xC2\xA9");
}

TEST(EntityDecoding, LeavesUnknownMiscasedAndUnterminatedEntities) {
    EXPECT_EQ(decode("&AMP; &Nbsp; &amp x &#233; &euro;"), "&AMP; &Nbsp; &amp x &#233; &euro;");
    EXPECT_EQ(decode("no entities at all"), "no entities at all");
}

TEST(EntityDecoding, StringVariantCutsLengthToCleanedText) {
    eString s = "Tom &amp; Jerry";
    ASSERT_EQ(s.size(), 15u);
    replace_sonderzeichen(s);
    EXPECT_EQ(s, "Tom & Jerry");
    EXPECT_EQ(s.size(), 11u);
}

TEST(Replace, DoesNotSearchWrittenTextAgain) {
    EXPECT_EQ(replaced("aaa", "aa", "a"), "aa");
    EXPECT_EQ(replaced("lang=2=\n", "=", ""), "lang2\n");
    EXPECT_EQ(replaced("abc", "x", ""), "abc");
}

TEST(Replace, RefusesALongerReplacementInsteadOfOverflowing) {
    char buffer[8] = "ab";
    replace(buffer, "a", "xyz");
    EXPECT_STREQ(buffer, "ab");
}

TEST(ReplaceAll, CollapsesRunsAndNestedPatterns) {
    EXPECT_EQ(replaceAll("aaa", "aa", "a"), "a");
    EXPECT_EQ(replaceAll("a////b", "//", "/"), "a/b");
    EXPECT_EQ(replaceAll("&amp;amp;", "&amp;", "&"), "&");
    EXPECT_EQ(replaceAll("x<<a>>y", "<a>", ""), "x<>y");
    EXPECT_EQ(replaceAll("unchanged", "zz", "z"), "unchanged");
}

TEST(ReplaceAll, ReplacementContainingPatternEndsAfterOnePass) {
    EXPECT_EQ(replaceAll("a-b", "-", "--"), "a--b");
}

TEST(TagRemoval, RemoveTagsKeepsTextOutsideTags) {
    EXPECT_EQ(removeTags("Hello <b>World</b>!"), "Hello World!");
    EXPECT_EQ(removeTags("<p>News text</p>"), "News text");
    EXPECT_EQ(removeTags("<img src=x>Caption"), "Caption");
    EXPECT_EQ(removeTags("<a<b>>x"), ">x");
    EXPECT_EQ(removeTags("a > b"), "a > b");
}

TEST(TagRemoval, RemoveTagsReturnsInputWhenOnlyTags) {
    EXPECT_EQ(removeTags("<br>"), "<br>");
    EXPECT_EQ(removeTags("<a><b>"), "<a><b>");
    EXPECT_EQ(removeTags(""), "");
}

TEST(TagRemoval, RemoveTagsKeepsTextAfterUnclosedTag) {
    EXPECT_EQ(removeTags("end of <description"), "end of <description");
    EXPECT_EQ(removeTags("<b>bold</b> and <unclosed"), "bold and <unclosed");
}

TEST(TagRemoval, StripHtmlTagsDiffersOnTagsOnlyAndStopsAtUnclosed) {
    EXPECT_EQ(stripHTMLTags("<br>"), "");
    EXPECT_EQ(stripHTMLTags("<a<b>>x"), ">x");
    EXPECT_EQ(stripHTMLTags("a > b <i>c</i>"), "a > b c");
    EXPECT_EQ(stripHTMLTags("a <b c"), "a <b c");
    EXPECT_EQ(stripHTMLTags("<i>x</i> <b c"), "x <b c");
}

TEST(Trim, StripsBlanksOnlyAndKeepsOneLessOfAllBlanks) {
    auto trimmed = [](eString s) { trim1(s); return s; };
    EXPECT_EQ(trimmed("   abc  "), "abc");
    EXPECT_EQ(trimmed("   "), "  ");
    EXPECT_EQ(trimmed(" "), "");
    EXPECT_EQ(trimmed(""), "");
    EXPECT_EQ(trimmed("\tabc"), "\tabc");
    EXPECT_EQ(trimmed(" line\n"), "line\n");
}

TEST(RequestSubstitutions, AppliesTheSixInOrder) {
    EXPECT_EQ(substituteForRequest("a b&c/d?"), "a_bec_d_");
    EXPECT_EQ(substituteForRequest("say \"hi\""), "say_hi");
    EXPECT_EQ(substituteForRequest("tab\there"), "tab_here");
    EXPECT_EQ(substituteForRequest("a=b %41 +#"), "a=b_%41_+#");
}

TEST(BadInput, ShortEmptyAndBinaryTextPassThrough) {
    std::string junk;
    for (int i = 1; i < 256; ++i) junk += static_cast<char>(i);
    junk += "\xC3\x28\xE2\x82";  // invalid UTF-8
    EXPECT_EQ(decode(junk), junk);
    EXPECT_EQ(decode(""), "");
    EXPECT_EQ(decode("&"), "&");
    EXPECT_EQ(replaceAll("", "a", ""), "");
    EXPECT_EQ(removeTags("<"), "<");
    EXPECT_EQ(stripHTMLTags(">"), ">");
    EXPECT_EQ(replaced("a", "a", ""), "");
}
