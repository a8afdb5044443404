#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "text/text_cleaning.h"

namespace {

std::string decode(std::string s) {
    replace_sonderzeichen(s.data());
    return s.c_str();
}
std::string tags(std::string s) { return removeTags(s); }
std::string strip(std::string s) { return stripHTMLTags(s); }
std::string forRequest(std::string s) { return substituteForRequest(s); }
std::string trimmed(std::string s) {
    eString text = s;
    trim1(text);
    return text;
}

// Every byte from 1 to 255, then invalid UTF-8.
std::string junk() {
    std::string bytes;
    for (int i = 1; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes + "\xC3\x28\xE2\x82";
}

}  // namespace

TEST(TextCleaning, EachFunctionOnItsCases) {
    const struct { std::string (*clean)(std::string); std::string in, out; } cases[] = {
        // The entity table runs in its order, one level per row: &lt; before
        // &amp;, the letters after it.
        {decode, "&amp;lt;", "&lt;"}, {decode, "&amp;auml;", "\xC3\xA4"}, {decode, "Tom &amp;amp;auml;", "Tom &amp;auml;"},
        {decode, "&lt;b&gt; &quot;x&quot;", "<b> \"x\""},
        // The table's oddities stay.
        {decode, "&aacute;", "a"}, {decode, "&uacute;", "\xC3\xB9"}, {decode, "5&deg; 2&trade;", "5 2"},
        {decode, "Fish &laquo;n&raquo; Chips", "Fish 'n' Chips"}, {decode, "a&hellip;b&ndash;c&#169;", "a...b-c\xC2\xA9"},
        // Unknown, miscased and unterminated entities stay, and so does junk.
        {decode, "&AMP; &Nbsp; &amp x &#233; &euro;", "&AMP; &Nbsp; &amp x &#233; &euro;"},
        {decode, junk(), junk()}, {decode, "", ""}, {decode, "&", "&"},
        // removeTags keeps text outside tags, a text of tags only whole, and
        // what follows an unclosed tag.
        {tags, "Hello <b>World</b>!", "Hello World!"}, {tags, "<p>News text</p>", "News text"},
        {tags, "<img src=x>Caption", "Caption"}, {tags, "<a<b>>x", ">x"}, {tags, "a > b", "a > b"},
        {tags, "<br>", "<br>"}, {tags, "<a><b>", "<a><b>"}, {tags, "", ""}, {tags, "<", "<"},
        {tags, "end of <description", "end of <description"}, {tags, "<b>bold</b> and <unclosed", "bold and <unclosed"},
        // stripHTMLTags differs on tags only and stops at an unclosed one.
        {strip, "<br>", ""}, {strip, "<a<b>>x", ">x"}, {strip, "a > b <i>c</i>", "a > b c"}, {strip, "a <b c", "a <b c"},
        {strip, "<i>x</i> <b c", "x <b c"}, {strip, ">", ">"},
        // trim1 strips blanks only, and keeps one less of all blanks.
        {trimmed, "   abc  ", "abc"}, {trimmed, "   ", "  "}, {trimmed, " ", ""}, {trimmed, "", ""},
        {trimmed, "\tabc", "\tabc"}, {trimmed, " line\n", "line\n"},
        // The six request substitutions, in order.
        {forRequest, "a b&c/d?", "a_bec_d_"}, {forRequest, "say \"hi\"", "say_hi"}, {forRequest, "tab\there", "tab_here"},
        {forRequest, "a=b %41 +#", "a=b_%41_+#"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.clean(c.in), c.out) << c.in.substr(0, 40);
}

// replace: once, never searching what it wrote, and a longer replacement
// is refused instead of overflowing; replaceAll: until no match is left,
// but a replacement holding the pattern ends after one pass.
TEST(TextCleaning, ReplaceAndReplaceAll) {
    const struct { bool all; const char *text, *pattern, *replacement, *out; } cases[] = {
        {false, "aaa", "aa", "a", "aa"}, {false, "lang=2=\n", "=", "", "lang2\n"}, {false, "abc", "x", "", "abc"},
        {false, "a", "a", "", ""}, {false, "ab", "a", "xyz", "ab"},
        {true, "aaa", "aa", "a", "a"}, {true, "a////b", "//", "/", "a/b"}, {true, "&amp;amp;", "&amp;", "&", "&"},
        {true, "x<<a>>y", "<a>", "", "x<>y"}, {true, "unchanged", "zz", "z", "unchanged"}, {true, "a-b", "-", "--", "a--b"},
        {true, "", "a", "", ""},
    };
    for (const auto& c : cases) {
        char buffer[16] = {};
        strncpy(buffer, c.text, sizeof buffer - 1);
        if (!c.all) replace(buffer, c.pattern, c.replacement);
        EXPECT_EQ(c.all ? std::string(replaceAll(c.text, c.pattern, c.replacement)) : std::string(buffer), c.out) << c.text;
    }
}
