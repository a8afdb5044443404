// Start-up of the plug-in as the host sees it: dlopen lumennews.so once, then
// per iteration plugin_exec up to the first rendered frame of the main menu
// (settings read, menu and feed list built, logo decoded, frame drawn).
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include "emu/file_root.h"
#include "emu/mainloop.h"
#include "emu/screen.h"
#include "emu/text_engine.h"

namespace {

namespace fs = std::filesystem;
using PluginExec = int (*)(void*);

// A box root with the logos and a settings file, removed at exit.
struct Root {
    std::string dir;
    Root() {
        char pattern[] = "/tmp/lumen-bench-XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "";
        fs::create_directories(dir + "/var/tuxbox/plugins");
        fs::create_directories(dir + "/var/keys");
        fs::create_directories(dir + "/var/tmp");
        for (const char* logo : {"LumenNews.png", "LumenNews2.png"})
            fs::copy_file(std::string(LUMEN_ASSETS) + "/" + logo, dir + "/var/tuxbox/plugins/" + logo);
        FILE* f = std::fopen((dir + "/var/keys/corvane.cfg").c_str(), "w");
        if (f) {
            std::fputs("lang=2\ndown=/var/tmp/\nnick=bench\n", f);
            std::fclose(f);
        }
    }
    ~Root() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

void BM_PluginExecToFirstMenuFrame(benchmark::State& state) {
    if (!emu::initFonts()) {
        state.SkipWithError("no fonts");
        return;
    }
    void* handle = dlopen(LUMEN_PLUGIN, RTLD_NOW | RTLD_GLOBAL);
    auto pluginExec = handle ? reinterpret_cast<PluginExec>(dlsym(handle, "plugin_exec")) : nullptr;
    if (!pluginExec) {
        state.SkipWithError(dlerror());
        return;
    }
    Root root;
    emu::setFileRoot(root.dir);
    int frames = 0;
    for (auto _ : state) {
        // Runs inside the menu's modal loop: its first turn.
        mainloop().post([&frames] {
            emu::renderScreen();
            ++frames;
            emu::execStack().back()->close(0);
        });
        benchmark::DoNotOptimize(pluginExec(nullptr));
    }
    emu::setFileRoot("");
    if (frames != int(state.iterations())) state.SkipWithError("the menu did not render every time");
    struct stat st {};
    if (stat(LUMEN_PLUGIN, &st) == 0) state.counters["so_bytes_unstripped"] = double(st.st_size);
}
BENCHMARK(BM_PluginExecToFirstMenuFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
