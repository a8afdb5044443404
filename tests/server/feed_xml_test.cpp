// Every feed the server can make parses: hostile texts put in through the
// content tools are refused with one line, rows put in by other means lose
// only what XML forbids, and both feeds read back with expat give what is
// left, whole.
#include <expat.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "server/options.h"
#include "server/replies.h"
#include "server/site.h"
#include "server/store.h"
#include "server/text_codec.h"
#include "tests/server/server_test_support.h"

using namespace srv;

namespace {

struct ParsedItem {
    std::string about, title, link, description;
};

struct ParsedFeed {
    std::string error;  // empty when the document parsed
    std::vector<ParsedItem> items;
    std::vector<std::string> resources;  // RSS 1.0's list of item links
};

ParsedFeed parse(const std::string& xml) {
    struct State {
        ParsedFeed feed;
        std::string* field = nullptr;
    } state;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto& s = *static_cast<State*>(data);
            std::string element = name;
            auto attribute = [&](const std::string& key) {
                for (int i = 0; attributes[i]; i += 2)
                    if (key == attributes[i]) return std::string(attributes[i + 1]);
                return std::string();
            };
            if (element == "item") s.feed.items.push_back({attribute("rdf:about"), "", "", ""});
            if (element == "rdf:li") s.feed.resources.push_back(attribute("rdf:resource"));
            if (s.feed.items.empty()) return;
            ParsedItem& item = s.feed.items.back();
            s.field = element == "title" ? &item.title
                      : element == "link" ? &item.link
                      : element == "description" ? &item.description
                                               : nullptr;
        },
        [](void* data, const XML_Char*) { static_cast<State*>(data)->field = nullptr; });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        auto& s = *static_cast<State*>(data);
        if (s.field) s.field->append(text, static_cast<size_t>(length));
    });
    if (XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE) == XML_STATUS_ERROR) {
        state.feed.error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                           std::to_string(XML_GetCurrentLineNumber(parser));
    }
    XML_ParserFree(parser);
    return state.feed;
}

// A generated text: the bytes, what of them XML may carry, and whether
// anything was hostile.
struct Hostile {
    std::string bytes, allowed;
    bool forbidden = false;
};

// What XML 1.0 forbids, and bytes that are not UTF-8 (a command line
// cannot carry NUL: only rows from elsewhere hold it).
const std::string nul(1, '\0');
const std::vector<std::string> forbiddenPieces = {
    "\x01", "\x08", "\x0B", "\x0C", "\x1B", "\x1F",
    "\xEF\xBF\xBE",  // U+FFFE
    "\xEF\xBF\xBF",  // U+FFFF
    "\xED\xA0\x80",  // a lone surrogate
    "\xFF", "\xC0\xAF", "\xE2\x82", "\xF4\x90\x80\x80",
};

// Texts that XML and HTML treat specially, and characters inside and
// outside Latin-1.
const std::vector<std::string> linePieces = {
    "a", "Zz", " ", "\"", "'", "&", "<", ">", "]]>", "&amp;", "&#12;", "&#x41;", "&bogus;", "<![CDATA[", "-->",
    "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9D\x84\x9E", "\xC2\xA0",
};
const std::vector<std::string> textPieces = {"\t", "\n", "\r\n", "\r"};
const std::vector<std::string> linkPieces = {"a", "/", "?x=1", "&y=\xC3\xA9", "#top", "%22", "\"", "'", "<", " ", "\t"};

class Generator {
public:
    explicit Generator(unsigned seed) : random(seed) {}
    bool chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; }
    const std::string& pick(const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
    }
    // Mostly `valid` pieces; some forbidden ones; now and then very long.
    Hostile text(const std::vector<std::string>& valid, int forbiddenPercent, size_t longest,
                 const std::vector<std::string>& forbidden = forbiddenPieces) {
        Hostile h;
        size_t pieces = chance(10) ? longest : std::uniform_int_distribution<size_t>(1, 12)(random);
        for (size_t i = 0; i < pieces; ++i) {
            bool bad = chance(forbiddenPercent);
            const std::string& piece = pick(bad ? forbidden : valid);
            h.bytes += piece;
            if (bad) h.forbidden = true;
            else h.allowed += piece;
        }
        return h;
    }

private:
    std::mt19937 random;
};

std::vector<std::string> joined(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string> out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

const std::string base = "http://news.example.org";

// Line breaks as a parser reads them in character data.
std::string readBack(std::string text) {
    for (size_t at; (at = text.find('\r')) != std::string::npos;)
        text.replace(at, text.compare(at, 2, "\r\n") == 0 ? 2 : 1, "\n");
    return text;
}

void expectParsesWhole(const std::string& xml, const std::vector<Article>& news, const std::vector<Hostile>& titles,
                       const std::vector<Hostile>& summaries, const std::vector<Hostile>& links) {
    ParsedFeed feed = parse(xml);
    ASSERT_EQ(feed.error, "") << xml;
    ASSERT_EQ(feed.items.size(), news.size());
    for (size_t i = 0; i < news.size(); ++i) {
        EXPECT_EQ(feed.items[i].title, titles[i].allowed);
        EXPECT_EQ(feed.items[i].description, readBack(summaries[i].allowed));
        EXPECT_EQ(feed.items[i].link, readBack(links[i].allowed));
        if (!feed.resources.empty()) {
            EXPECT_EQ(feed.items[i].about, links[i].allowed);
            EXPECT_EQ(feed.resources.at(i), links[i].allowed);
        }
    }
}

}  // namespace

TEST(FeedXml, RowsFromElsewhereLoseOnlyWhatXmlForbids) {
    Generator generate(17);
    for (int round = 0; round < 200; ++round) {
        std::vector<Article> news;
        std::vector<Hostile> titles, summaries, links;
        const std::vector<std::string> forbidden = joined(forbiddenPieces, {nul});
        for (int i = 0; i < 3; ++i) {
            titles.push_back(generate.text(linePieces, 25, 3000, forbidden));
            summaries.push_back(generate.text(joined(linePieces, textPieces), 25, 3000, forbidden));
            links.push_back(generate.text(joined(linkPieces, textPieces), 25, 300, forbidden));
            news.push_back(Article{i + 1, "en", titles.back().bytes, "", 0, 0, summaries.back().bytes, "",
                                   links.back().bytes});
        }
        SCOPED_TRACE("round " + std::to_string(round));
        expectParsesWhole(feedRss2(news, base), news, titles, summaries, links);
        expectParsesWhole(feedRss1(news, base), news, titles, summaries, links);
    }
}

// news-add and news-edit run in process on a fresh database; each either
// refuses (exit 2, because of the forbidden text) or stores what was typed,
// and the feeds carry the newest of what was stored.
TEST(FeedXml, ContentToolsRefuseHostileTextsAndTheFeedsKeepTheRest) {
    TempFolder dir;
    const std::string db = dir / "community.db", bodyFile = dir / "body.html";
    Store::create(db);
    struct Expected {
        int64_t id;
        std::string lang, title, summary, link, body;
    };
    std::vector<Expected> stored;
    Generator generate(4242);
    for (int round = 0; round < 120; ++round) {
        // At most one field is hostile, so that each refusal has one cause.
        int hostile = round % 6;  // 0 title, 1 summary, 2 body, 3 link, else none
        auto percent = [&](int field) { return hostile == field ? 30 : 0; };
        Hostile title = generate.text(linePieces, percent(0), 80);
        Hostile summary = generate.text(joined(linePieces, textPieces), percent(1), 800);
        Hostile body = generate.text(joined(linePieces, textPieces), percent(2), 2000);
        Hostile link = generate.text(hostile == 3 ? linkPieces : std::vector<std::string>{"a", "/", "?x=1", "#top"}, 0, 40);
        bool ownLink = hostile == 3 || generate.chance(30);
        bool badLink = ownLink && (link.bytes.find_first_of("\"'< \t") != std::string::npos ||
                                   link.bytes.find("\xC3") != std::string::npos);
        writeFile(bodyFile, body.bytes);
        bool edit = !stored.empty() && generate.chance(25);
        Expected e = edit ? stored[static_cast<size_t>(round) % stored.size()] : Expected{};
        std::vector<std::string> args = {edit ? "news-edit" : "news-add", "--db", db, "--title", title.bytes,
                                         "--summary", summary.bytes, "--body", bodyFile};
        if (edit) {
            args.insert(args.end(), {"--id", std::to_string(e.id)});
        } else {
            e.lang = round % 2 ? "it" : "en";
            // One minute apart: the feeds list them newest first.
            char date[32];
            std::snprintf(date, sizeof date, "2025-01-%02d %02d:%02d", 1 + round / 60, round / 60, round % 60);
            args.insert(args.end(), {"--lang", e.lang, "--author", "Ed", "--date", date});
        }
        if (ownLink) args.insert(args.end(), {"--link", "http://x.example/" + link.bytes});
        bool refused = title.forbidden || summary.forbidden || body.forbidden || badLink || title.bytes.size() > 200 ||
                       title.bytes.empty();
        ASSERT_EQ(runTool(args), refused ? 2 : 0) << "round " << round << ": " << args[0];
        if (refused) continue;
        e.title = htmlEscape(title.bytes);
        e.summary = htmlEscape(summary.bytes);
        e.body = body.bytes;
        if (ownLink) e.link = "http://x.example/" + link.bytes;
        if (!edit) {
            e.id = static_cast<int64_t>(stored.size()) + 1;  // a fresh database counts from 1
            stored.emplace_back();
        }
        stored[static_cast<size_t>(e.id) - 1] = e;
    }
    auto store = Store::open(db);
    SiteSettings settings;
    settings.baseUrl = base;
    settings.feedItems = 12;  // fewer than were stored: the newest only
    Site site(*store, settings);
    for (const std::string lang : {"en", "it"}) {
        ParsedFeed feed = parse(*site.answer(scriptRequest(lang == "en" ? "op=outmerss" : "op=outmerss&tn=3")).body);
        ASSERT_EQ(feed.error, "") << lang;
        std::vector<Expected> newestFirst;
        for (auto it = stored.rbegin(); it != stored.rend(); ++it)
            if (it->lang == lang) newestFirst.push_back(*it);
        ASSERT_GT(newestFirst.size(), settings.feedItems) << lang;
        ASSERT_EQ(feed.items.size(), settings.feedItems) << lang;
        for (size_t i = 0; i < settings.feedItems; ++i) {
            const Expected& e = newestFirst[i];
            EXPECT_EQ(feed.items[i].title, e.title) << lang << " " << e.id;
            EXPECT_EQ(feed.items[i].description, readBack(e.summary)) << lang << " " << e.id;
            std::string page = base + "/lumennews/index.php?op=article&sid=" + std::to_string(e.id) + "&Itemid=99999999";
            EXPECT_EQ(feed.items[i].link, e.link.empty() ? page : e.link);
            EXPECT_EQ(store->article(e.id)->body, e.body) << e.id;
        }
    }
}

TEST(FeedXml, BaseUrlIsRefusedUnlessItIsAPlainWebAddress) {
    const struct {
        std::string url;
        bool accepted;
    } cases[] = {
        {"http://news.example.org", true},
        {"https://news.example.org:8443/community/", true},
        {"http://news.example.org/a\"b", false}, {"http://news.example.org/a b", false},
        {"http://news.example.org/\x01", false}, {"http://news.example.org/\xC3\xA9", false},
        {"http://news.example.org/<x>", false},   {"http://news.example.org/?op=x", false},
        {"ftp://news.example.org", false},        {"http:///path", false},
    };
    for (const auto& c : cases) {
        const char* argv[] = {"--db", "x.db", "--base-url", c.url.c_str()};
        Options options;
        std::string error;
        EXPECT_EQ(parseOptions(4, argv, options, error), c.accepted ? ParseResult::Run : ParseResult::Error) << c.url;
        if (c.accepted) EXPECT_EQ(options.baseUrl.back() == '/', false) << c.url;
        else EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}
