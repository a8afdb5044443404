// The emulated host's XML tree parser.
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include "host/xmltree.h"

namespace {

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(LUMEN_TEST_DATA) + "/net/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int parseAll(XMLTreeParser& parser, const std::string& document) {
    return parser.Parse(document.data(), static_cast<int>(document.size()), 1);
}

// The tree as text, one node per line: depth, name, data ("-" for none).
// Walks without recursion, like the plug-in's own readers.
std::string dump(const XMLTreeNode* root) {
    std::string out;
    std::vector<std::pair<const XMLTreeNode*, int>> pending;
    if (root) pending.emplace_back(root, 0);
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        out += std::to_string(depth) + " " + node->GetType() + " [" + (node->GetData() ? node->GetData() : "-") + "]\n";
        if (node->GetNext()) pending.emplace_back(node->GetNext(), depth);
        if (node->GetChild()) pending.emplace_back(node->GetChild(), depth + 1);
    }
    return out;
}

std::string nested(int depth) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<n>";
        close += "</n>";
    }
    return open + close;
}

TEST(XMLTreeParser, BuildsNamesTextsChildrenAndSiblings) {
    XMLTreeParser parser("UTF-8");
    ASSERT_NE(parseAll(parser, "<rss version=\"2.0\"><channel>\n<title>News</title><item/>"
                               "<item><link>http://x/?a=1&amp;b=2</link></item></channel></rss>"),
              0);
    EXPECT_EQ(dump(parser.RootNode()),
              "0 rss [-]\n"
              "1 channel [\n]\n"
              "2 title [News]\n"
              "2 item [-]\n"
              "2 item [-]\n"
              "3 link [http://x/?a=1&b=2]\n");
}

TEST(XMLTreeParser, TextAroundChildrenAndCdataIsConcatenated) {
    XMLTreeParser parser("UTF-8");
    ASSERT_NE(parseAll(parser, "<d>one<b>bold</b> two<![CDATA[<p>three</p>]]>&lt;</d>"), 0);
    ASSERT_NE(parser.RootNode(), nullptr);
    EXPECT_STREQ(parser.RootNode()->GetData(), "one two<p>three</p><");
    EXPECT_STREQ(parser.RootNode()->GetChild()->GetData(), "bold");
}

// The constructor's encoding wins over the declaration; without one, the
// declaration counts. Single-byte charsets come out as UTF-8.
TEST(XMLTreeParser, SingleByteCharsetsComeOutAsUtf8AndTheConstructorEncodingWins) {
    struct Case { const char* encoding; std::string document; const char* text; };
    const Case cases[] = {
        {"ISO-8859-1", "<t>caf\xe9 \xab\xbb</t>", "caf\xc3\xa9 \xc2\xab\xc2\xbb"},
        {"ISO-8859-1", fixture("latin1_bytes_declared_utf8.xml"), "Caf\xc3\xa9 cr\xc3\xa8me"},
        // UTF-8 bytes declared as Latin-1 are not encoded twice.
        {"UTF-8", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><t>caf\xc3\xa9</t>", "caf\xc3\xa9"},
        {"windows-1252", "<t>\x80 \x93q\x94</t>", "\xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d"},
        {nullptr, "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?><t>\xa4</t>", "\xe2\x82\xac"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        XMLTreeParser parser(c.encoding);
        ASSERT_NE(parseAll(parser, c.document), 0) << parser.ErrorString();
        const XMLTreeNode* node = parser.RootNode()->GetChild() ? parser.RootNode()->GetChild() : parser.RootNode();
        EXPECT_STREQ(node->GetData(), c.text);
    }
}

// Unknown and multi-byte charsets, empty documents, entity tricks and bad
// arguments all fail, leaving no tree.
TEST(XMLTreeParser, RefusedInputsFailWithoutATree) {
    struct Case { const char* encoding; std::string document; const char* error; };
    const Case cases[] = {
        {"no-such-charset", "<t>x</t>", ""},
        {"Shift_JIS", "<t>x</t>", ""},
        {"UTF-8", "", ""},
        {"ISO-8859-1", "  \n", ""},
        {"UTF-8", fixture("entity_bomb_internal_subset.xml"), "internal subset"},
        {"UTF-8", fixture("external_entity_internal_subset.xml"), ""},  // never loaded
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document.substr(0, 30));
        XMLTreeParser parser(c.encoding);
        EXPECT_EQ(parseAll(parser, c.document), 0);
        EXPECT_EQ(parser.RootNode(), nullptr);
        if (*c.error) {
            EXPECT_NE(std::string(parser.ErrorString()).find(c.error), std::string::npos);
        }
    }
    XMLTreeParser nullData("UTF-8"), negative("UTF-8");
    EXPECT_EQ(nullData.Parse(nullptr, 5, 0), 0);
    EXPECT_EQ(negative.Parse("<a/>", -1, 1), 0);
}

TEST(XMLTreeParser, SameTreeAtEverySplitOfTheInput) {
    const std::string document =
        "<?xml version=\"1.0\"?><rss><channel><title>Gr\xc3\xbc\xc3\x9f""e &amp; mehr</title>"
        "<item><title><![CDATA[a<b]]></title><description>x&#233;y</description></item></channel></rss>";
    XMLTreeParser whole("UTF-8");
    ASSERT_NE(parseAll(whole, document), 0);
    const std::string expected = dump(whole.RootNode());
    for (size_t split = 0; split <= document.size(); ++split) {
        XMLTreeParser parser("UTF-8");
        ASSERT_NE(parser.Parse(document.data(), static_cast<int>(split), 0), 0) << split;
        ASSERT_NE(parser.Parse(document.data() + split, static_cast<int>(document.size() - split), 1), 0) << split;
        EXPECT_EQ(dump(parser.RootNode()), expected) << "split at " << split;
    }
    XMLTreeParser byteByByte("UTF-8");
    for (char c : document) ASSERT_NE(byteByByte.Parse(&c, 1, 0), 0);
    ASSERT_NE(byteByByte.Parse(nullptr, 0, 1), 0);
    EXPECT_EQ(dump(byteByByte.RootNode()), expected);
}

TEST(XMLTreeParser, SyntaxErrorInALaterChunkFailsThatChunkAndAfter) {
    XMLTreeParser parser("UTF-8");
    std::string first = "<rss><channel><title>ok</title>";
    std::string second = "<item></channel></rss>";
    EXPECT_NE(parser.Parse(first.data(), static_cast<int>(first.size()), 0), 0);
    EXPECT_EQ(parser.Parse(second.data(), static_cast<int>(second.size()), 1), 0);
    EXPECT_STRNE(parser.ErrorString(), "");
    EXPECT_EQ(parser.Parse("</rss>", 6, 1), 0);
}

TEST(XMLTreeParser, NestingUpToTheLimitParsesAndDeeperIsRefused) {
    XMLTreeParser atLimit("UTF-8");
    EXPECT_NE(parseAll(atLimit, nested(XMLTreeParser::maxDepth)), 0);
    XMLTreeParser tooDeep("UTF-8");
    EXPECT_EQ(parseAll(tooDeep, nested(XMLTreeParser::maxDepth + 1)), 0);
    XMLTreeParser hostile("UTF-8");
    EXPECT_EQ(parseAll(hostile, nested(100000)), 0);
}

// Four bytes of "<a/>" would cost over a hundred bytes of tree each.
TEST(XMLTreeParser, ElementsUpToTheLimitParseAndMoreAreRefused) {
    auto flat = [](int elements) {
        std::string doc = "<r>";
        for (int i = 1; i < elements; ++i) doc += "<a/>";
        return doc + "</r>";
    };
    XMLTreeParser atLimit("UTF-8");
    EXPECT_NE(parseAll(atLimit, flat(XMLTreeParser::maxNodes)), 0);
    XMLTreeParser tooMany("UTF-8");
    EXPECT_EQ(parseAll(tooMany, flat(XMLTreeParser::maxNodes + 1)), 0);
    EXPECT_NE(std::string(tooMany.ErrorString()).find("too many elements"), std::string::npos);
}

TEST(XMLTreeParser, ElementTextUpToTheLimitParsesAndLongerIsRefused) {
    auto element = [](size_t bytes) { return "<d>" + std::string(bytes, 'x') + "</d>"; };
    XMLTreeParser atLimit("UTF-8");
    EXPECT_NE(parseAll(atLimit, element(XMLTreeParser::maxText)), 0);
    EXPECT_EQ(std::string(atLimit.RootNode()->GetData()).size(), static_cast<size_t>(XMLTreeParser::maxText));
    XMLTreeParser tooLong("UTF-8");
    EXPECT_EQ(parseAll(tooLong, element(XMLTreeParser::maxText + 1)), 0);
    EXPECT_NE(std::string(tooLong.ErrorString()).find("element text too long"), std::string::npos);
}

TEST(XMLTreeParser, ExternalDoctypeAloneParses) {
    XMLTreeParser parser("ISO-8859-1");
    ASSERT_NE(parseAll(parser, fixture("external_doctype.xml")), 0) << parser.ErrorString();
    EXPECT_EQ(dump(parser.RootNode()), "0 rss [-]\n1 channel [-]\n2 title [Corvane]\n");
}

TEST(XMLTreeParser, LongSiblingListIsFreedWithTheParser) {
    const int children = XMLTreeParser::maxNodes - 1;  // and the list itself
    std::string document = "<list>";
    for (int i = 0; i < children; ++i) document += "<i>" + std::to_string(i) + "</i>";
    document += "</list>";
    auto parser = std::make_unique<XMLTreeParser>("UTF-8");
    ASSERT_NE(parseAll(*parser, document), 0) << parser->ErrorString();
    const XMLTreeNode* last = parser->RootNode()->GetChild();
    int count = 1;
    while (last->GetNext()) {
        last = last->GetNext();
        ++count;
    }
    EXPECT_EQ(count, children);
    EXPECT_EQ(std::string(last->GetData()), std::to_string(children - 1));
    parser.reset();  // a leak or a recursive free would show under the sanitizers
}

}  // namespace
