// Cost of the cleaning functions on realistic and adversarial text. The
// ratio between the 1 MB and the 100 KB runs shows linear growth (about 10);
// the restart-from-the-beginning algorithm would give about 100.
#include <benchmark/benchmark.h>
#include <string>
#include "text/text_cleaning.h"

namespace {

std::string repeat(const std::string& unit, size_t bytes) {
    std::string s;
    s.reserve(bytes + unit.size());
    while (s.size() < bytes) s += unit;
    s.resize(bytes);
    return s;
}

std::string articleText(size_t bytes) {
    return repeat("The satellite dish was aligned at 19.2&deg; east &amp; the signal &quot;locked&quot; "
                  "within seconds &ndash; a caf&eacute; owner in M&uuml;nster called it &laquo;magic&raquo;.<br />\n",
                  bytes);
}

// Nested escapes: every pass of the restarting algorithm shortens the run by one.
std::string nestedAmp(size_t bytes) { return "&" + repeat("amp;", bytes); }
std::string slashRun(size_t bytes) { return repeat("/", bytes); }
std::string tags(size_t bytes) { return repeat("<b>x</b>", bytes); }
std::string blanks(size_t bytes) { return repeat(" ", bytes) + "x" + repeat(" ", bytes); }

void setBytes(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void EntityDecodeArticle(benchmark::State& state) {
    const std::string text = articleText(state.range(0));
    for (auto _ : state) {
        eString s = text;
        replace_sonderzeichen(s);
        benchmark::DoNotOptimize(s.data());
    }
    setBytes(state, text.size());
}

void EntityDecodeNested(benchmark::State& state) {
    const std::string text = nestedAmp(state.range(0));
    for (auto _ : state) {
        eString s = text;
        replace_sonderzeichen(s);
        benchmark::DoNotOptimize(s.data());
    }
    setBytes(state, text.size());
}

void ReplaceAllNestedAmp(benchmark::State& state) {
    const eString text = nestedAmp(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(replaceAll(text, "&amp;", "&"));
    setBytes(state, text.size());
}

void ReplaceAllSlashRun(benchmark::State& state) {
    const eString text = slashRun(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(replaceAll(text, "//", "/"));
    setBytes(state, text.size());
}

void ReplaceInPlaceRun(benchmark::State& state) {
    const std::string text = slashRun(state.range(0));
    for (auto _ : state) {
        std::string s = text;
        replace(s.data(), "//", "/");
        benchmark::DoNotOptimize(s.data());
    }
    setBytes(state, text.size());
}

void RemoveTagsMany(benchmark::State& state) {
    const eString text = tags(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(removeTags(text));
    setBytes(state, text.size());
}

void StripHtmlTagsMany(benchmark::State& state) {
    const eString text = tags(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(stripHTMLTags(text));
    setBytes(state, text.size());
}

void TrimBlanks(benchmark::State& state) {
    const eString text = blanks(state.range(0) / 2);
    for (auto _ : state) {
        eString s = text;
        trim1(s);
        benchmark::DoNotOptimize(s.data());
    }
    setBytes(state, text.size());
}

constexpr int64_t KB64 = 64 << 10, KB100 = 100 << 10, MB1 = 1 << 20;

}  // namespace

BENCHMARK(EntityDecodeArticle)->Arg(KB64)->Arg(KB100)->Arg(MB1)->Unit(benchmark::kMicrosecond);
BENCHMARK(EntityDecodeNested)->Arg(KB100)->Arg(MB1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReplaceAllNestedAmp)->Arg(KB100)->Arg(MB1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReplaceAllSlashRun)->Arg(KB100)->Arg(MB1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReplaceInPlaceRun)->Arg(KB100)->Arg(MB1)->Unit(benchmark::kMicrosecond);
BENCHMARK(RemoveTagsMany)->Arg(KB100)->Arg(MB1)->Unit(benchmark::kMicrosecond);
BENCHMARK(StripHtmlTagsMany)->Arg(KB100)->Arg(MB1)->Unit(benchmark::kMicrosecond);
BENCHMARK(TrimBlanks)->Arg(KB100)->Arg(MB1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
