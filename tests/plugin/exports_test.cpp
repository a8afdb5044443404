// lumennews.so as the host sees it: four exported names, everything else
// hidden, and every host symbol it needs resolved by the host at dlopen.
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <cstdio>
#include <set>
#include <string>
#include "emu/mainloop.h"

namespace {

std::set<std::string> definedDynamicSymbols(const std::string& object) {
    std::set<std::string> names;
    std::string command = "nm -D --defined-only -g --format=posix '" + object + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string entry = line;
        names.insert(entry.substr(0, entry.find(' ')));
    }
    pclose(pipe);
    return names;
}

}  // namespace

TEST(PluginObject, ExportsOnlyTheEntryAndTheSettingsGlobals) {
    EXPECT_EQ(definedDynamicSymbols(LUMEN_PLUGIN),
              (std::set<std::string>{"CORDDIR", "CORLANG", "CORNICK", "plugin_exec"}));
}

TEST(PluginObject, LoadsIntoTheHostWithEveryHostSymbolResolved) {
    mainloop();  // the host is this process's: lumenemu is loaded
    void* handle = dlopen(LUMEN_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    EXPECT_NE(dlsym(handle, "plugin_exec"), nullptr);
    auto* language = static_cast<int*>(dlsym(handle, "CORLANG"));
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(*language, 0);  // nothing has read the settings yet
    EXPECT_EQ(dlsym(handle, "_Z5LangTii"), nullptr);
    EXPECT_EQ(dlsym(handle, "_Z14retrieveConfigv"), nullptr);
    dlclose(handle);
}
