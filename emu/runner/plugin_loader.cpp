#include "emu/runner/plugin_loader.h"
#include <dlfcn.h>

namespace runner {

PluginExec loadPlugin(const std::string& path, std::string& error) {
    // A bare name would make dlopen search the library path instead.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        const char* why = dlerror();
        error = "cannot load the plug-in " + path + ": " + (why ? why : "unknown error");
        return nullptr;
    }
    dlerror();
    void* entry = dlsym(handle, "plugin_exec");
    if (!entry) {
        error = "the plug-in " + path + " has no plugin_exec";
        dlclose(handle);
        return nullptr;
    }
    return reinterpret_cast<PluginExec>(entry);
}

}  // namespace runner
