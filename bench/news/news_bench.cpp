// The news parsers on inputs of the largest size they meet: a 64 KB feed of
// 50 items full of entities, as RSS 2.0 and as RSS 1.0, and a 64 KB article
// page. Time, and the peak heap of one run as the counter peak_heap_bytes.
// Each feed is also given to expat alone, chunk by chunk as the parser does,
// as the yardstick: the parser should take at most twice its time.
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

enum class Format { Rss2, Rss1 };

// 50 items of about 1300 bytes each: 64 KB.
std::string makeFeed(Format format) {
    const bool rss2 = format == Format::Rss2;
    std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
    xml += rss2 ? "<rss version=\"2.0\"><channel>\n<title>Corvane News</title>\n"
                : "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                  "xmlns=\"http://purl.org/rss/1.0/\">\n<channel rdf:about=\"http://news.corvane.example/\">"
                  "<title>Corvane News</title></channel>\n";
    for (int i = 0; i < 50; ++i) {
        std::string link = "http://news.corvane.example/index.php?op=read&amp;amp;id=" + std::to_string(i);
        std::string item = (rss2 ? "<item>\n" : "<item rdf:about=\"" + link + "\">\n") + "<title>Item " +
                           std::to_string(i) +
                           ": Caf&amp;eacute; &amp;amp; R&amp;uuml;ckblick &amp;laquo;Tom&amp;raquo; "
                           "&amp;ndash; news&amp;hellip;</title>\n"
                           "<link>" + link + "&amp;amp;Itemid=99999999</link>\n<description>";
        while (item.size() < 1200)
            item += "&lt;p&gt;Gr&amp;uuml;&amp;szlig;e aus &amp;Ouml;sterreich&amp;nbsp;&lt;b&gt;und"
                    "&lt;/b&gt; &amp;quot;Fran&amp;ccedil;ais&amp;quot; &amp;copy; 2025&lt;/p&gt;\n";
        xml += item + "</description>\n";
        if (rss2) xml += "<pubDate>Mon, 06 Jan 2025 10:00:00 +0100</pubDate>\n";
        xml += "</item>\n";
    }
    return xml + (rss2 ? "</channel></rss>\n" : "</rdf:RDF>\n");
}

std::string makeArticle() {
    std::string page = "Dish alignment guide\nAdmin\nPosted on 06/01/2025\n4242\n";
    for (int i = 0; page.size() < 64 * 1024 - 200; ++i)
        page += "Paragraph " + std::to_string(i) +
                ": the dish&nbsp;points south, Caf&eacute; &amp; more<br />second line&hellip;</p>\n";
    return page;
}

// A private root for the box paths, and the feed files inside it.
struct Scratch {
    Scratch() {
        char pattern[] = "/tmp/lumen-news-bench-XXXXXX";
        dir = mkdtemp(pattern);
        std::filesystem::create_directories(dir + "/var/tmp");
        emu::setFileRoot(dir);
        for (Format format : {Format::Rss2, Format::Rss1}) {
            Feed& f = feeds[static_cast<int>(format)];
            f.text = makeFeed(format);
            f.path = dir + (format == Format::Rss2 ? "/feed.rss" : "/feed.rdf");
            std::ofstream(f.path, std::ios::binary) << f.text;
        }
        article = makeArticle();
        CORLANG = 1;
    }
    ~Scratch() {
        emu::setFileRoot("");
        std::filesystem::remove_all(dir);
    }
    void writeArticle() const {
        std::ofstream(emu::resolveBoxPath(paths::articleFile), std::ios::binary) << article;
    }
    struct Feed {
        std::string text, path;
    };
    const Feed& feed(Format format) const { return feeds[static_cast<int>(format)]; }
    std::string dir, article;
    Feed feeds[2];
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

void BM_RssParserParse(benchmark::State& state, Format format) {
    const Scratch::Feed& feed = scratch().feed(format);
    RSSParser parser;
    long long peak = 0;
    for (auto _ : state) {
        heapmeter::resetPeak();
        parser.parse(feed.path);
        peak = std::max(peak, heapmeter::peakSinceReset());
        if (parser.items.size() != 50) state.SkipWithError("the feed did not parse");
    }
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.text.size()));
}
BENCHMARK_CAPTURE(BM_RssParserParse, rss2, Format::Rss2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RssParserParse, rss1, Format::Rss1)->Unit(benchmark::kMicrosecond);

void BM_ExpatAlone(benchmark::State& state, Format format) {
    const Scratch::Feed& feed = scratch().feed(format);
    long long peak = 0;
    for (auto _ : state) {
        heapmeter::resetPeak();
        XML_Parser parser = XML_ParserCreate("ISO-8859-1");
        XML_SetElementHandler(parser, [](void*, const XML_Char*, const XML_Char**) {},
                              [](void*, const XML_Char*) {});
        XML_SetCharacterDataHandler(parser, [](void*, const XML_Char*, int) {});
        // From the file, chunk by chunk, as the parser reads it.
        std::FILE* in = std::fopen(feed.path.c_str(), "rt");
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
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.text.size()));
}
BENCHMARK_CAPTURE(BM_ExpatAlone, rss2, Format::Rss2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ExpatAlone, rss1, Format::Rss1)->Unit(benchmark::kMicrosecond);

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
