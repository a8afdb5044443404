// The fast functions against the plain restart-from-the-beginning
// transcriptions, on random and adversarial inputs.
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>
#include "reference_text.h"
#include "text/text_cleaning.h"

namespace {

// Up to `maxPieces` pieces picked at random.
std::string randomText(std::mt19937& rng, const std::vector<std::string>& pieces, size_t maxPieces) {
    std::uniform_int_distribution<size_t> count(0, maxPieces), pick(0, pieces.size() - 1);
    std::string s;
    for (size_t n = count(rng); n > 0; --n) s += pieces[pick(rng)];
    return s;
}

std::vector<std::string> inputs() {
    const std::vector<std::string> letters = {"&", "a", "m", "p", ";", "<", ">", "/", " ", ";", "a", "u", "l"};
    // Whole entity and tag fragments, so that matches occur.
    const std::vector<std::string> fragments = {"&", "amp;", "&amp;", "lt;", "auml;", "&#", "39;", "<", ">", "<b>",
                                                "a", " ", "/", "//", ";", "&nbsp;", "hellip;", "\n", "&&", "uacute;",
                                                // replacements that join what stood around them into an entity
                                                "&aacute;", "&deg;", "&trade;", "&l", "quo;", "&au", "ml;"};
    std::mt19937 rng(20261206);
    std::vector<std::string> all = {"", "a", "&", "<", ">", " ", "&amp;amp;amp;amp;lt;", "<<<>>>", "a<b<c>d>e",
                                    "    ", "&amp;&amp;auml;;", std::string(50, '/'), "aaaaaaaaab",
                                    "&l&aacute;quo;", "&h&deg;ellip;", "&n&trade;dash; &lt;", "&&aacute;uml;"};
    for (int i = 0; i < 1500; ++i) all.push_back(randomText(rng, letters, 40));
    for (int i = 0; i < 1500; ++i) all.push_back(randomText(rng, fragments, 12));
    return all;
}

}  // namespace

// The decoding of an eString also agrees in length: the cleaned text is cut.
TEST(Differential, EveryFunctionAgreesWithItsRestartingReference) {
    const std::pair<std::string, std::string> rules[] = {
        {"&amp;", "&"}, {"//", "/"}, {"aa", "a"}, {"<br />", "\n"}, {"ab", "ba"}, {"&", ""}, {"a;", ";"}, {" ", "_"}};
    for (const auto& text : inputs()) {
        SCOPED_TRACE("text=[" + text + "]");
        for (const auto& [pattern, replacement] : rules)
            ASSERT_EQ(replaceAll(text, pattern, replacement), reference::replaceAll(text, pattern, replacement))
                << pattern;
        std::string fast = text;
        replace(fast.data(), "&amp;", "&");
        ASSERT_EQ(std::string(fast.c_str()), reference::replace(text, "&amp;", "&"));
        eString decoded = text, trimmed = text;
        replace_sonderzeichen(decoded);
        ASSERT_EQ(decoded, reference::replace_sonderzeichen(text));
        ASSERT_EQ(removeTags(text), reference::removeTags(text));
        ASSERT_EQ(stripHTMLTags(text), reference::stripHTMLTags(text));
        trim1(trimmed);
        ASSERT_EQ(trimmed, reference::trim1(text));
    }
}
