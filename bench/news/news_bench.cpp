// The news parsers on inputs of the largest size they meet: a 64 KB feed of
// 50 items full of entities, and a 64 KB article page. Time, and the peak
// heap of one run as the counter peak_heap_bytes. The feed is also given to
// expat alone, chunk by chunk as the parser does, as the yardstick.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <stdlib.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include "emu/file_root.h"
#include "heap_meter.h"
#include "news/RSSParser.h"
#include "news/Selchoice1.h"
#include "settings/paths.h"
#include "settings/settings.h"

namespace {

// 50 items of about 1300 bytes each: 64 KB.
std::string makeFeed() {
    std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<rss version=\"2.0\"><channel>\n"
                      "<title>Corvane News</title>\n";
    for (int i = 0; i < 50; ++i) {
        std::string item = "<item>\n<title>Item " + std::to_string(i) +
                           ": Caf&amp;eacute; &amp;amp; R&amp;uuml;ckblick &amp;laquo;Tom&amp;raquo; "
                           "&amp;ndash; news&amp;hellip;</title>\n"
                           "<link>http://news.corvane.example/index.php?op=read&amp;amp;id=" +
                           std::to_string(i) + "&amp;amp;Itemid=99999999</link>\n<description>";
        while (item.size() < 1200)
            item += "&lt;p&gt;Gr&amp;uuml;&amp;szlig;e aus &amp;Ouml;sterreich&amp;nbsp;&lt;b&gt;und"
                    "&lt;/b&gt; &amp;quot;Fran&amp;ccedil;ais&amp;quot; &amp;copy; 2025&lt;/p&gt;\n";
        xml += item + "</description>\n<pubDate>Mon, 06 Jan 2025 10:00:00 +0100</pubDate>\n</item>\n";
    }
    return xml + "</channel></rss>\n";
}

std::string makeArticle() {
    std::string page = "Dish alignment guide\nAdmin\nPosted on 06/01/2025\n4242\n";
    for (int i = 0; page.size() < 64 * 1024 - 200; ++i)
        page += "Paragraph " + std::to_string(i) +
                ": the dish&nbsp;points south, Caf&eacute; &amp; more<br />second line&hellip;</p>\n";
    return page;
}

// A private root for the box paths, and the feed file inside it.
struct Scratch {
    Scratch() {
        char pattern[] = "/tmp/lumen-news-bench-XXXXXX";
        dir = mkdtemp(pattern);
        std::filesystem::create_directories(dir + "/var/tmp");
        emu::setFileRoot(dir);
        feed = makeFeed();
        article = makeArticle();
        feedPath = dir + "/feed.rss";
        std::ofstream(feedPath, std::ios::binary) << feed;
        CORLANG = 1;
    }
    ~Scratch() {
        emu::setFileRoot("");
        std::filesystem::remove_all(dir);
    }
    void writeArticle() const {
        std::ofstream(emu::resolveBoxPath(paths::articleFile), std::ios::binary) << article;
    }
    std::string dir, feed, article, feedPath;
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

void BM_RssParserParse(benchmark::State& state) {
    Scratch& s = scratch();
    RSSParser parser;
    long long peak = 0;
    for (auto _ : state) {
        heapmeter::resetPeak();
        parser.parse(s.feedPath);
        peak = std::max(peak, heapmeter::peakSinceReset());
        if (parser.items.size() != 50) state.SkipWithError("the feed did not parse");
    }
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.feed.size()));
}
BENCHMARK(BM_RssParserParse)->Unit(benchmark::kMicrosecond);

void BM_ExpatAlone(benchmark::State& state) {
    Scratch& s = scratch();
    long long peak = 0;
    for (auto _ : state) {
        heapmeter::resetPeak();
        XML_Parser parser = XML_ParserCreate("ISO-8859-1");
        XML_SetElementHandler(parser, [](void*, const XML_Char*, const XML_Char**) {},
                              [](void*, const XML_Char*) {});
        XML_SetCharacterDataHandler(parser, [](void*, const XML_Char*, int) {});
        // From the file, chunk by chunk, as the parser reads it.
        std::FILE* in = std::fopen(s.feedPath.c_str(), "rt");
        char chunk[2048];
        size_t n;
        do {
            n = std::fread(chunk, 1, sizeof chunk, in);
            if (XML_Parse(parser, chunk, static_cast<int>(n), n < sizeof chunk) == XML_STATUS_ERROR)
                state.SkipWithError("expat rejected the feed");
        } while (n == sizeof chunk);
        std::fclose(in);
        XML_ParserFree(parser);
        peak = std::max(peak, heapmeter::peakSinceReset());
    }
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.feed.size()));
}
BENCHMARK(BM_ExpatAlone)->Unit(benchmark::kMicrosecond);

void BM_Selchoice1(benchmark::State& state) {
    Scratch& s = scratch();
    long long peak = 0;
    size_t length = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.writeArticle();
        state.ResumeTiming();
        heapmeter::resetPeak();
        eString text = Selchoice1();
        peak = std::max(peak, heapmeter::peakSinceReset());
        length = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    // Entities and break tags shrink the page by about a quarter.
    if (length < 40000) state.SkipWithError("the article came out short");
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.article.size()));
}
BENCHMARK(BM_Selchoice1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
