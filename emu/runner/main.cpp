// lumenhost: runs a plug-in in the emulated box, scripted or interactive.
// See docs/lumenhost.md and --help.
#include <sys/stat.h>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include "emu/file_root.h"
#include "emu/http_settings.h"
#include "emu/runner/key_script.h"
#include "emu/runner/plugin_loader.h"
#include "emu/runner/runner_options.h"
#include "emu/runner/runner_output.h"
#include "emu/runner/script_player.h"
#include "emu/text_engine.h"
#ifdef LUMENHOST_WITH_SDL
#include "emu/runner/sdl_view.h"
#endif

namespace {

constexpr int kExitUsage = 2;

int fail(const std::string& message, int code) {
    fprintf(stderr, "lumenhost: %s\n", message.c_str());
    return code;
}

bool readFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    content = text.str();
    return true;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool wantsShots(const std::vector<runner::ScriptStep>& steps) {
    for (const auto& step : steps)
        if (step.kind == runner::ScriptStep::Kind::Shot) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    timespec started{};
    clock_gettime(CLOCK_REALTIME, &started);  // files older than this are a past run's
    using namespace runner;
    RunnerOptions options;
    options.plugin = LUMENHOST_DEFAULT_PLUGIN;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) return fail(error, kExitUsage);
    if (options.help) {
        fputs(helpText(LUMENHOST_DEFAULT_PLUGIN).c_str(), stdout);
        return 0;
    }

    // Everything named on the command line is read or opened before the
    // box root is set: these are the machine's paths.
    std::vector<ScriptStep> steps;
    if (!options.keysFile.empty()) {
        std::string content;
        if (!readFile(options.keysFile, content)) return fail("cannot read the keys file " + options.keysFile, kExitUsage);
        if (!parseKeyLines(content, steps, error)) return fail(options.keysFile + ": " + error, kExitUsage);
    }
    if (!parseKeyList(options.keys, steps, error)) return fail(error, kExitUsage);
    if (wantsShots(steps) && options.shots.empty()) return fail("a shot step needs --shots DIR", kExitUsage);
    if (!options.root.empty() && !isDirectory(options.root))
        return fail("the root directory " + options.root + " does not exist", kExitUsage);

    DumpOutput dump;
    if (!dump.open(options.dump, error)) return fail(error, kExitSetup);
    ShotDirectory shots;
    if (!options.shots.empty() && !shots.open(options.shots, error)) return fail(error, kExitSetup);

    if (!emu::initFonts()) return kExitSetup;  // it has said why
    PluginExec pluginExec = loadPlugin(options.plugin, error);
    if (!pluginExec) return fail(error, kExitSetup);

    if (!options.connectTo.empty()) emu::setHttpConnectTo(options.connectTo);
    if (options.httpStallSeconds > 0) emu::setHttpTimeouts(0, options.httpStallSeconds);
    if (options.httpMaxReplyBytes > 0) emu::setHttpMaxReplyBytes(options.httpMaxReplyBytes);
    if (!options.root.empty()) emu::setFileRoot(options.root);
    emu::removeStaleParts("/var/tmp", started);

    std::unique_ptr<ScriptPlayer> player;
#ifdef LUMENHOST_WITH_SDL
    std::unique_ptr<SdlView> view;
    if (!options.scripted() && SdlView::displayAvailable()) {
        view = std::make_unique<SdlView>();
        if (view->open(error)) {
            view->start();
        } else {
            fprintf(stderr, "lumenhost: %s; running without a window\n", error.c_str());
            view.reset();
        }
    }
    if (!view)
#endif
    {
        player = std::make_unique<ScriptPlayer>(std::move(steps), options.waitTimeoutSeconds, dump, &shots);
        player->start();
    }

    int result = pluginExec(nullptr);
    dump.flush();

    if (player && player->endedScript()) return 0;
#ifdef LUMENHOST_WITH_SDL
    if (view && view->closedByUser()) return 0;
#endif
    if (player && player->stepsLeft() > 0)
        fprintf(stderr, "lumenhost: the plug-in returned %d with %zu script steps left\n", result,
                player->stepsLeft());
    return result & 0xff;
}
