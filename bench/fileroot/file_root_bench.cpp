// What the redirection adds to a file call: the same stat() of an existing
// file through a box path under a root, and through its real path.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "emu/file_root.h"

namespace {

struct Root {
    std::string dir;
    Root() {
        char pattern[] = "/tmp/lumen-bench-XXXXXX";
        dir = mkdtemp(pattern);
        mkdir((dir + "/var").c_str(), 0755);
        mkdir((dir + "/var/tmp").c_str(), 0755);
        if (FILE* f = fopen((dir + "/var/tmp/rss.tmp").c_str(), "w")) fclose(f);
    }
    ~Root() {
        unlink((dir + "/var/tmp/rss.tmp").c_str());
        rmdir((dir + "/var/tmp").c_str());
        rmdir((dir + "/var").c_str());
        rmdir(dir.c_str());
    }
};

void BM_StatBoxPathUnderRoot(benchmark::State& state) {
    Root root;
    emu::setFileRoot(root.dir);
    struct stat st;
    for (auto _ : state) benchmark::DoNotOptimize(stat("/var/tmp/rss.tmp", &st));
    emu::setFileRoot("");
}
BENCHMARK(BM_StatBoxPathUnderRoot);

void BM_StatRealPath(benchmark::State& state) {
    Root root;
    std::string real = root.dir + "/var/tmp/rss.tmp";
    struct stat st;
    for (auto _ : state) benchmark::DoNotOptimize(stat(real.c_str(), &st));
}
BENCHMARK(BM_StatRealPath);

void BM_ResolveBoxPath(benchmark::State& state) {
    const std::string root = "/tmp/lumen-bench-root";
    const std::string path = "/var/tmp/rss2.tmp";
    for (auto _ : state) benchmark::DoNotOptimize(emu::resolveBoxPath(root, path));
}
BENCHMARK(BM_ResolveBoxPath);

}  // namespace
