// lumennews.so as the host sees it: every host symbol it needs resolved by
// the host at dlopen, its own functions hidden. The exact list of exported
// names is checked on the shipped object (tests/box/check-plugin.sh).
#include <gtest/gtest.h>
#include <dlfcn.h>
#include "emu/mainloop.h"

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
