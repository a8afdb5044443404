// The XML tree parser fed as the feed reader feeds it (2 KiB pieces) with
// 4 MB documents: a plain feed and the hostile shapes whose cost must stay
// within a few times of it (one long token, an attribute flood). Items per
// second show whether the document was parsed or refused early.
#include <benchmark/benchmark.h>

#include <string>

#include "host/xmltree.h"

namespace {

constexpr size_t kSize = 4 * 1024 * 1024;

std::string repeat(const std::string& unit, size_t bytes) {
    std::string out;
    out.reserve(bytes + unit.size());
    while (out.size() < bytes) out += unit;
    return out;
}

std::string document(int shape) {
    switch (shape) {
    case 0:
        // Items of some 400 bytes: the element limit allows about 10000.
        return "<rss><channel>" +
               repeat("<item><title>A title of a news item</title><description>" +
                      repeat("Some words of text ", 340) + "</description></item>", kSize) +
               "</channel></rss>";
    case 1: return "<rss a=\"" + repeat("v", kSize) + "\"/>";
    case 2: return "<" + repeat("n", kSize) + "/>";
    case 3: return "<rss><!--" + repeat("c", kSize) + "--></rss>";
    default: {
        std::string flood = "<rss";
        for (size_t i = 0; flood.size() < kSize; ++i) flood += " a" + std::to_string(i) + "=\"\"";
        return flood + "/>";
    }
    }
}

void BM_ParseIn2KiBPieces(benchmark::State& state) {
    const std::string doc = document(static_cast<int>(state.range(0)));
    int result = 0;
    for (auto _ : state) {
        XMLTreeParser parser("UTF-8");
        size_t at = 0;
        result = 1;
        while (result && at < doc.size()) {
            size_t n = std::min<size_t>(2048, doc.size() - at);
            result = parser.Parse(doc.data() + at, static_cast<int>(n), at + n == doc.size());
            at += n;
        }
        benchmark::DoNotOptimize(parser.RootNode());
    }
    state.SetLabel(result ? "parsed" : "refused");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
// 0 plain feed, 1 attribute value, 2 tag name, 3 comment, 4 attribute flood.
BENCHMARK(BM_ParseIn2KiBPieces)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
