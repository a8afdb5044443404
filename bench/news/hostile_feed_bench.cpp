// The RSS parser on feeds built against its text cleaning, beside a plain
// feed of the same size: entities escaped once per nesting level
// ("&amp;amp;amp;..."), the same behind a run of bare "&", and dates of
// nested "+0100". Each feed holds two items whose link, description and
// date share the size; the adversarial ones must cost a few times the
// plain one at most, at every size.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include "emu/file_root.h"
#include "news/RSSParser.h"
#include "tests/support/message_box_answerer.h"

namespace {

enum class Kind { Plain, Nested, Filler };

std::string repeated(const std::string& unit, size_t bytes) {
    std::string text;
    while (text.size() + unit.size() <= bytes) text += unit;
    return text;
}

// "&" followed by `levels` escapes of it, as XML: each cleaning step that
// replaces "&amp;" once takes off one level.
std::string nestedAmp(size_t bytes) { return "&amp;" + repeated("amp;", bytes - 5); }

std::string linkText(Kind kind, size_t bytes) {
    switch (kind) {
    case Kind::Plain: return repeated("http://news.corvane.example/?op=read&amp;amp;id=7 ", bytes);
    case Kind::Nested: return nestedAmp(bytes);
    case Kind::Filler: return repeated("&amp;", bytes / 2) + nestedAmp(bytes / 2);
    }
    return {};
}

std::string dateText(Kind kind, size_t bytes) {
    if (kind == Kind::Plain) return repeated("Mon, 06 Jan 2025 10:00:00 +0100 ", bytes);
    // "+0+0...100100": removing the middle "+0100" makes the next one.
    size_t levels = bytes / 5;
    std::string date;
    for (size_t i = 0; i < levels; ++i) date += "+0";
    for (size_t i = 0; i < levels; ++i) date += "100";
    return date;
}

std::string makeFeed(Kind kind, size_t size) {
    const size_t field = size / 6;  // two items of three fields
    std::string item = "<item><title>Item</title><link>" + linkText(kind, field) + "</link><description>" +
                       linkText(kind, field) + "</description><pubDate>" + dateText(kind, field) +
                       "</pubDate></item>\n";
    return "<rss version=\"2.0\"><channel>\n" + item + item + "</channel></rss>\n";
}

void BM_RssParserHostile(benchmark::State& state, Kind kind) {
    char pattern[] = "/tmp/lumen-hostile-bench-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    emu::setFileRoot(dir);
    const std::string path = dir + "/feed.rss";
    const std::string feed = makeFeed(kind, static_cast<size_t>(state.range(0)) * 1024);
    std::ofstream(path, std::ios::binary) << feed;
    MessageBoxAnswerer boxes;
    RSSParser parser;
    for (auto _ : state) {
        parser.parse(path);
        if (parser.items.size() != 2) state.SkipWithError("the feed did not parse");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
    emu::setFileRoot("");
    std::filesystem::remove_all(dir);
}

BENCHMARK_CAPTURE(BM_RssParserHostile, plain, Kind::Plain)->Arg(64)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RssParserHostile, nested, Kind::Nested)->Arg(64)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RssParserHostile, filler, Kind::Filler)->Arg(64)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
