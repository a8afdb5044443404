// The four community reply readers on generated replies of 64 KB and 10 MB.
// The reply sits in a temporary file that each run reads from the start;
// the counter peak_heap_bytes is the most heap one run held.
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include "community/ParseShoutInput.h"
#include "community/ParseStatInput.h"
#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "heap_meter.h"

namespace {
constexpr size_t kSmall = 64 * 1024;
constexpr size_t kLarge = 10 * 1024 * 1024;

// Repeats `unit(i)` until the text holds `size` bytes.
std::string fill(std::string text, size_t size, const std::function<std::string(int)>& unit) {
    for (int i = 0; text.size() < size; ++i) text += unit(i);
    text.resize(size);
    return text;
}

std::string shoutReply(size_t size) {
    return fill("<html><head><title>Shouts</title>\n<!-- end document head -->\n</head><body><table>\n", size,
                [](int i) {
                    return "<tr>\n<td>21:" + std::to_string(10 + i % 50) + "</td>\n<td><b>user" + std::to_string(i) +
                           "</b></td>\n<td>Zapping is faster &amp; the picture is sharper &ndash; try it</td>\n"
                           "<td>04/03/2025</td>\n</tr>\n";
                });
}

std::string statReply(size_t size) {
    return fill("48213\n117\n342\n15\n2904\nFirmware 3.2 brings faster zapping\n1532\nweatherglobe.tar.gz\n871\n",
                size, [](int i) { return "extra counter line " + std::to_string(i) + "\n"; });
}

std::string categoryReply(size_t size) {
    return fill("", size, [](int i) {
        return std::to_string(i) + "\nPlug-in number " + std::to_string(i) + ": tips &amp; tricks &hellip;\n";
    });
}

std::string detailReply(size_t size) {
    return fill("weatherglobe_1.2.tar.gz\nWeather Globe 1.2\nskyfixer\non 02 Mar 2025\n398 bytes\n871\n", size,
                [](int i) {
                    return "Line " + std::to_string(i) +
                           " of the description: the forecast is refreshed &amp; cached on the box.\n";
                });
}

// Runs `read` on a reply in a temporary file.
void run(benchmark::State& state, const std::string& reply, const std::function<size_t(FILE*)>& read) {
    FILE* file = std::tmpfile();
    std::fwrite(reply.data(), 1, reply.size(), file);
    long long peak = 0;
    size_t produced = 0;
    for (auto _ : state) {
        std::rewind(file);
        heapmeter::resetPeak();
        produced = read(file);
        peak = std::max(peak, heapmeter::peakSinceReset());
    }
    std::fclose(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
    state.counters["result_bytes"] = static_cast<double>(produced);
}

void BM_ParseShoutInput(benchmark::State& state) {
    run(state, shoutReply(state.range(0)), [](FILE* f) { return formatShoutList(f, 1).size(); });
}
void BM_ParseStatInput(benchmark::State& state) {
    run(state, statReply(state.range(0)), [](FILE* f) { return formatStatistics(f, 1).size(); });
}
void BM_CategoryReply(benchmark::State& state) {
    run(state, categoryReply(state.range(0)), [](FILE* f) {
        size_t bytes = 0;
        for (const auto& entry : readCategoryReply(f)) bytes += entry.title.size();
        return bytes;
    });
}
void BM_FileDetailReply(benchmark::State& state) {
    run(state, detailReply(state.range(0)), [](FILE* f) { return readFileDetail(f, 1).text.size(); });
}
}  // namespace

BENCHMARK(BM_ParseShoutInput)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseStatInput)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CategoryReply)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FileDetailReply)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
