// The emulated host's XML tree parser against documents built to bloat it:
// elements past a limit are dropped, attacks refused, alike whether the
// document comes in pieces or whole.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include "host/xmltree.h"

namespace {

std::string attributes(int count, size_t valueBytes) {
    std::string out;
    for (int i = 0; i < count; ++i) out += " a" + std::to_string(i) + "=\"" + std::string(valueBytes, 'v') + "\"";
    return out;
}

// As the feed reader feeds it: 2 KiB pieces, the last one final.
int parseInPieces(XMLTreeParser& parser, const std::string& doc) {
    for (size_t at = 0; at < doc.size(); at += 2048)
        if (!parser.Parse(doc.data() + at, static_cast<int>(std::min<size_t>(2048, doc.size() - at)), at + 2048 >= doc.size()))
            return 0;
    return 1;
}

// What the parser made of a document: "refused", or the root's children
// as name=text.
std::string outcome(XMLTreeParser& parser, int result) {
    if (!result) return "refused";
    if (!parser.RootNode()) return "no root";
    std::string out;
    for (const XMLTreeNode* child = parser.RootNode()->GetChild(); child; child = child->GetNext())
        out += std::string(out.empty() ? "" : " ") + child->GetType() + "=" + (child->GetData() ? child->GetData() : "");
    return out;
}

TEST(XmlLimits, ElementsPastALimitAreDroppedAndAttacksRefusedAlikeInPiecesOrWhole) {
    using P = XMLTreeParser;
    const std::string after = "<t>y</t></rss>", dropped = "<t>x</t></e>" + after;
    const std::string text(200000, 't');
    const struct { std::string doc; const char* result; } cases[] = {
        {"<rss" + attributes(P::maxAttributes, 1) + "><t>" + text + "</t></rss>", nullptr},
        {"<rss><e" + attributes(P::maxAttributes + 1, 1) + ">" + dropped, "t=y"},
        {"<rss><e" + attributes(1, P::maxAttributeBytes - 2) + "/>" + after, "e= t=y"},
        {"<rss><e" + attributes(1, P::maxAttributeBytes) + ">" + dropped, "t=y"},
        {"<rss><e" + attributes(1, 70000) + " b=\"'>\"/>" + after, "e= t=y"},  // quotes hold a ">"
        {"<rss><" + std::string(P::maxNameLength, 'n') + "/>" + after, nullptr},
        {"<rss><" + std::string(P::maxNameLength + 1, 'n') + "><t>x</t></" + std::string(P::maxNameLength + 1, 'n') +
             ">" + after, "t=y"},
        {"<rss><!--" + std::string(3 << 20, 'c') + "-->" + after, "t=y"},  // skipped, however long
        {"<rss>a<?pi " + std::string(3 << 20, 'p') + "?>b" + after, "t=y"},
        // Expat is handed 4 KiB at a time: one ends after the "<" of a
        // comment, one inside a PI with no blank after its target.
        {"<rss>" + std::string(4090, 'a') + "<!--c-->" + after, "t=y"},
        {"<rss>" + std::string(4089, 'a') + "<?pi?>" + std::string(200000, 'a') + after, "t=y"},
        {"<rss><!--" + std::string(3 << 20, 'c') + "--x-->" + after, "refused"},  // "--" inside
        {"<rss><!--" + std::string(3 << 20, 'c') + "\x01-->" + after, "refused"},  // not a character
        {"<rss><!--" + std::string(3 << 20, 'c') + "\xc3-->" + after, "refused"},  // half a character
        {"<rss><!--" + std::string(3 << 20, 'c') + "--->" + after, "refused"},
        {"<" + std::string(4 << 20, 'n') + "/>", "refused"},                    // a 4 MB root name
        {"<rss a=\"" + std::string(4 << 20, 'v') + "\"/>", "refused"},         // a 4 MB attribute
        {"<rss" + attributes(470000, 0) + "/>", "refused"},                      // an attribute flood
        {"<rss><e" + attributes(P::maxTagAttributes + 1, 0) + "/></rss>", "refused"},
        {"<rss>&" + std::string(P::maxMarkup, 'r') + ";</rss>", "refused"},     // any other token
    };
    for (const auto& [doc, result] : cases) {
        SCOPED_TRACE(doc.substr(0, 40) + "... of " + std::to_string(doc.size()) + " bytes");
        XMLTreeParser pieces("UTF-8"), whole("UTF-8");
        std::string inPieces = outcome(pieces, parseInPieces(pieces, doc));
        EXPECT_EQ(inPieces, outcome(whole, whole.Parse(doc.data(), static_cast<int>(doc.size()), 1)));
        if (result) {
            EXPECT_EQ(inPieces, result);
        }
        EXPECT_EQ(inPieces == "refused", *pieces.ErrorString() != '\0');
    }
    // Expat keeps every attribute name it has met: a document of many is refused.
    std::string names = "<rss>";
    for (int i = 0; i <= P::maxAttributeNames; ++i) names += "<e a" + std::to_string(i) + "=\"\"/>";
    XMLTreeParser parser("UTF-8");
    EXPECT_EQ(parseInPieces(parser, names + "</rss>"), 0);
}


}  // namespace
