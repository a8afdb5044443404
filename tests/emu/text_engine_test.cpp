// Layout and drawing with the real DejaVu Sans metrics.
#include "emu/text_engine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const gFont kFont("Regular", 20);

std::string joined(const std::vector<emu::TextLine>& lines, const char* separator) {
    std::string all;
    for (size_t i = 0; i < lines.size(); ++i) all += (i ? separator : "") + lines[i].text;
    return all;
}

class TextEngine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(emu::initFonts()) << "DejaVu Sans is needed for these tests"; }
};

TEST_F(TextEngine, LineHeightComesFromTheFaceAndGrowsWithSize) {
    float h20 = emu::lineHeight(kFont);
    // DejaVu Sans: ascender + descender is about 1.16 em.
    EXPECT_GE(h20, 22.0f);
    EXPECT_LE(h20, 25.0f);
    EXPECT_GT(emu::lineHeight(gFont("Regular", 40)), 1.8f * h20);
    EXPECT_EQ(fontRenderClass::getInstance()->getLineHeight(kFont), h20);
}

TEST_F(TextEngine, EachLineFeedAddsOneLineHeight) {
    int h = static_cast<int>(emu::lineHeight(kFont));
    EXPECT_EQ(emu::textExtent(kFont, "one", 0).h, h);
    EXPECT_EQ(emu::textExtent(kFont, "one\ntwo", 0).h, 2 * h);
    EXPECT_EQ(emu::textExtent(kFont, "one\n\ntwo\n", 0).h, 4 * h);
    EXPECT_EQ(emu::textExtent(kFont, "", 0), eSize(0, 0));
}

TEST_F(TextEngine, WidthsAreProportionalAndAdditive) {
    int narrow = emu::lineWidth(kFont, "iiii");
    int wide = emu::lineWidth(kFont, "WWWW");
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, 2 * narrow);
    EXPECT_EQ(emu::lineWidth(kFont, "iiiiWWWW"), narrow + wide);
    EXPECT_EQ(emu::textExtent(kFont, "iiii\nWWWW", 0).w, wide);
    EXPECT_GE(emu::lineWidth(gFont("Bold", 20), "WWWW"), wide);
}

TEST_F(TextEngine, WrapsAtBlanksAndKeepsEveryWord) {
    const std::string text = "The quick brown fox jumps over the lazy dog near the river bank";
    auto oneLine = emu::layoutText(kFont, text, 0);
    ASSERT_EQ(oneLine.size(), 1u);
    auto wrapped = emu::layoutText(kFont, text, 150);
    EXPECT_GT(wrapped.size(), 3u);
    for (const auto& line : wrapped) {
        EXPECT_LE(line.width, 150) << line.text;
        EXPECT_EQ(line.width, emu::lineWidth(kFont, line.text)) << line.text;
        EXPECT_NE(line.text.front(), ' ') << "wrapped lines start with a word";
    }
    EXPECT_EQ(joined(wrapped, " "), text);
    EXPECT_EQ(emu::textExtent(kFont, text, 150).h,
              static_cast<int>(wrapped.size()) * static_cast<int>(emu::lineHeight(kFont)));
}

TEST_F(TextEngine, LongWordIsBrokenBetweenCharacters) {
    const std::string word = "Supercalifragilisticexpialidocious";
    auto lines = emu::layoutText(kFont, "a " + word, 80);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "a");
    for (const auto& line : lines) EXPECT_LE(line.width, 80) << line.text;
    EXPECT_EQ(joined(lines, "").substr(1), word);
}

TEST_F(TextEngine, CharacterWiderThanTheLineGetsALineOfItsOwn) {
    auto lines = emu::layoutText(kFont, "WWW", 3);
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& line : lines) EXPECT_EQ(line.text, "W");
}

TEST_F(TextEngine, TabAdvancesToTheNextMultipleOfEightBlanks) {
    int blank = emu::lineWidth(kFont, " ");
    ASSERT_GT(blank, 0);
    int x = emu::lineWidth(kFont, "x");
    EXPECT_EQ(emu::lineWidth(kFont, "\tx"), 8 * blank + x);
    EXPECT_EQ(emu::lineWidth(kFont, "ab\tx"), 8 * blank + x);
    EXPECT_EQ(emu::lineWidth(kFont, "\t\tx"), 16 * blank + x);
    // Past the first stop, the tab goes to the second.
    std::string nine(9, ' ');
    EXPECT_EQ(emu::lineWidth(kFont, nine + "\tx"), 16 * blank + x);
}

TEST_F(TextEngine, MultiByteCharactersStayWholeWhenWrapping) {
    const std::string text = "\xC3\xA9t\xC3\xA9 \xC3\xA0 l\xE2\x80\x99h\xC3\xB4tel "
                             "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC";
    auto lines = emu::layoutText(kFont, text, 40);
    ASSERT_GT(lines.size(), 2u);
    std::string all;
    for (const auto& line : lines) all += line.text;
    std::string noBlanks;
    for (char c : text)
        if (c != ' ') noBlanks += c;
    EXPECT_EQ(all, noBlanks);
    // A line cut inside a sequence would measure differently on its own.
    for (const auto& line : lines) EXPECT_EQ(line.width, emu::lineWidth(kFont, line.text)) << line.text;
}

TEST_F(TextEngine, InvalidUtf8IsShownAsReplacementCharacters) {
    int replacement = emu::lineWidth(kFont, "\xEF\xBF\xBD");
    ASSERT_GT(replacement, 0);
    // Stray continuation, lone lead byte, overlong slash, surrogate half, cut-off sequence.
    EXPECT_EQ(emu::lineWidth(kFont, "\x80"), replacement);
    EXPECT_EQ(emu::lineWidth(kFont, "\xFF"), replacement);
    EXPECT_EQ(emu::lineWidth(kFont, "\xC0\xAF"), 2 * replacement);
    EXPECT_EQ(emu::lineWidth(kFont, "\xED\xA0\x80"), 3 * replacement);
    EXPECT_EQ(emu::lineWidth(kFont, "a\xE2\x82"), emu::lineWidth(kFont, "a") + 2 * replacement);

    const std::string garbage("\xE2\x82\n\xF4\x90\x80\x80 \xC3\x00x\xFE", 13);
    auto lines = emu::layoutText(kFont, garbage, 10);
    EXPECT_GE(lines.size(), 2u);
    gPixmap target(64, 64);
    emu::drawText(target, eRect(0, 0, 64, 64), ePoint(0, 0), kFont, garbage, 10, 0xFFFFFFFF);
}

int countInked(const gPixmap& p, const eRect& r) {
    int n = 0;
    for (int y = r.top(); y < r.bottom(); ++y)
        for (int x = r.left(); x < r.right(); ++x)
            if (p.pixels[(static_cast<size_t>(y) * p.width() + x) * 4 + 3] != 0) ++n;
    return n;
}

TEST_F(TextEngine, DrawingInksOnlyInsideTheClip) {
    gPixmap target(200, 60);
    const eRect clip(0, 0, 60, 60);
    emu::drawText(target, clip, ePoint(2, 2), kFont, "Hello world, wide text", 0, 0xFFFFFFFF);
    EXPECT_GT(countInked(target, clip), 30);
    EXPECT_EQ(countInked(target, eRect(60, 0, 140, 60)), 0);
    // The second line starts one line height lower.
    int h = static_cast<int>(emu::lineHeight(kFont));
    gPixmap two(200, 80);
    emu::drawText(two, eRect(0, 0, 200, 80), ePoint(0, 0), kFont, "x\nx", 0, 0xFFFFFFFF);
    EXPECT_GT(countInked(two, eRect(0, h, 200, h)), 0);
    EXPECT_EQ(countInked(two, eRect(0, 2 * h, 200, 80 - 2 * h)), 0);
}

TEST_F(TextEngine, DrawingOffTheTargetIsHarmless) {
    gPixmap target(20, 20);
    emu::drawText(target, eRect(-100, -100, 400, 400), ePoint(-30, 2), kFont, "Clipped\nagain", 0,
                  0xFF0000FF);
    emu::drawText(target, eRect(0, 0, 20, 20), ePoint(5000, 5000), kFont, "far away", 0, 0xFF0000FF);
    EXPECT_GT(countInked(target, eRect(0, 0, 20, 20)), 0);
}

TEST(TextEngineFonts, MissingFontIsReportedOnOneLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("LUMEN_FONT_DIR", "/nonexistent-font-dir", 1);
            bool ok = emu::initFonts();
            // Layout still works on guessed metrics, so nothing downstream crashes.
            bool usable = emu::textExtent(kFont, "a\nb", 0).h > 0;
            std::exit(!ok && usable ? 3 : 0);
        },
        ::testing::ExitedWithCode(3), "font /nonexistent-font-dir/DejaVuSans.ttf is missing");
}

}  // namespace
