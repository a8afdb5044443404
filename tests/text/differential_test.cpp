// The fast functions against the plain restart-from-the-beginning
// transcriptions, on random and adversarial inputs.
#include <gtest/gtest.h>
#include <random>
#include <string>
#include "reference_text.h"
#include "text/text_cleaning.h"

namespace {

std::string randomText(std::mt19937& rng, const std::string& alphabet, size_t maxLength) {
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string s(length(rng), ' ');
    for (char& c : s) c = alphabet[pick(rng)];
    return s;
}

// Random text made of whole entity and tag fragments, so that matches occur.
std::string randomFragments(std::mt19937& rng, size_t count) {
    static const char* fragments[] = {"&", "amp;", "&amp;", "lt;", "auml;", "&#", "39;", "<", ">", "<b>",
                                      "a", " ", "/", "//", ";", "&nbsp;", "hellip;", "\n", "&&", "uacute;",
                                      // replacements that join what stood around them into an entity
                                      "&aacute;", "&deg;", "&trade;", "&l", "quo;", "&au", "ml;"};
    std::uniform_int_distribution<size_t> pick(0, sizeof(fragments) / sizeof(fragments[0]) - 1);
    std::string s;
    for (size_t i = 0; i < count; ++i) s += fragments[pick(rng)];
    return s;
}

std::vector<std::string> inputs() {
    std::mt19937 rng(20261206);
    std::vector<std::string> all = {"", "a", "&", "<", ">", " ", "&amp;amp;amp;amp;lt;", "<<<>>>", "a<b<c>d>e",
                                    "    ", "&amp;&amp;auml;;", std::string(50, '/'), "aaaaaaaaab",
                                    "&l&aacute;quo;", "&h&deg;ellip;", "&n&trade;dash; &lt;", "&&aacute;uml;"};
    for (int i = 0; i < 1500; ++i) all.push_back(randomText(rng, "&amp;<>/ ;aul", 40));
    for (int i = 0; i < 1500; ++i) all.push_back(randomFragments(rng, 12));
    return all;
}

}  // namespace

TEST(Differential, ReplaceAllAgreesWithRestartingReference) {
    const std::pair<std::string, std::string> rules[] = {
        {"&amp;", "&"}, {"//", "/"}, {"aa", "a"}, {"<br />", "\n"}, {"ab", "ba"}, {"&", ""}, {"a;", ";"}, {" ", "_"}};
    for (const auto& text : inputs())
        for (const auto& [pattern, replacement] : rules)
            ASSERT_EQ(replaceAll(text, pattern, replacement), reference::replaceAll(text, pattern, replacement))
                << "text=[" << text << "] pattern=[" << pattern << "]";
}

TEST(Differential, ReplaceAndEntityDecodingAgreeWithReference) {
    for (const auto& text : inputs()) {
        std::string fast = text;
        replace(fast.data(), "&amp;", "&");
        ASSERT_EQ(std::string(fast.c_str()), reference::replace(text, "&amp;", "&")) << text;
        eString decoded = text;
        replace_sonderzeichen(decoded);
        ASSERT_EQ(decoded, reference::replace_sonderzeichen(text)) << text;
    }
}

TEST(Differential, TagRemoversAndTrimAgreeWithReference) {
    for (const auto& text : inputs()) {
        ASSERT_EQ(removeTags(text), reference::removeTags(text)) << text;
        ASSERT_EQ(stripHTMLTags(text), reference::stripHTMLTags(text)) << text;
        eString trimmed = text;
        trim1(trimmed);
        ASSERT_EQ(trimmed, reference::trim1(text)) << text;
    }
}
