// A 64 KB news feed fed in 2048-byte chunks, as the feed reader does:
// the tree parser against expat with no handlers and with empty ones.
// Target: the tree parser takes at most twice expat's own time.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <string>
#include "host/xmltree.h"

namespace {

constexpr size_t feedSize = 64 * 1024;
constexpr int chunk = 2048;

const std::string& feed() {
    static const std::string text = [] {
        std::string out =
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<rss version=\"2.0\"><channel>\n"
            "<title>Corvane News</title><link>http://news.corvane.example/</link>\n";
        for (int i = 0; out.size() < feedSize - 400; ++i) {
            std::string n = std::to_string(i);
            out += "<item>\n <title>Receiver firmware " + n + " &amp; more</title>\n"
                   " <link>http://news.corvane.example/lumennews/article.php?sid=" + n + "</link>\n"
                   " <description>&lt;p&gt;Caf\xe9 owners report that build " + n +
                   " fixes the EPG on cable.&lt;/p&gt;</description>\n"
                   " <pubDate>Mon, 06 Dec 2026 20:00:00 GMT</pubDate>\n</item>\n";
        }
        out += "</channel></rss>\n";
        return out;
    }();
    return text;
}

template <class Feed>
void chunked(const std::string& text, Feed feedChunk) {
    for (size_t at = 0;; at += chunk) {
        size_t length = std::min<size_t>(chunk, text.size() - at);
        bool last = length < static_cast<size_t>(chunk);
        if (!feedChunk(text.data() + at, static_cast<int>(length), last)) return;
        if (last) return;
    }
}

void TreeParser(benchmark::State& state) {
    const std::string& text = feed();
    for (auto _ : state) {
        XMLTreeParser parser("ISO-8859-1");
        chunked(text, [&](const char* data, int length, bool last) { return parser.Parse(data, length, last) != 0; });
        benchmark::DoNotOptimize(parser.RootNode());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void runExpat(benchmark::State& state, bool withHandlers) {
    const std::string& text = feed();
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate("ISO-8859-1");
        if (withHandlers) {
            XML_SetElementHandler(parser, [](void*, const XML_Char*, const XML_Char**) {}, [](void*, const XML_Char*) {});
            XML_SetCharacterDataHandler(parser, [](void*, const XML_Char*, int) {});
        }
        chunked(text, [&](const char* data, int length, bool last) {
            return XML_Parse(parser, data, length, last) != XML_STATUS_ERROR;
        });
        XML_ParserFree(parser);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void ExpatAlone(benchmark::State& state) { runExpat(state, false); }
void ExpatEmptyHandlers(benchmark::State& state) { runExpat(state, true); }

}  // namespace

BENCHMARK(TreeParser)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExpatAlone)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExpatEmptyHandlers)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
