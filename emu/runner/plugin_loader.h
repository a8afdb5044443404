// Loads a plug-in shared object and finds its entry function.
#pragma once
#include <string>

namespace runner {

using PluginExec = int (*)(void*);

// dlopen (RTLD_NOW | RTLD_GLOBAL) and dlsym("plugin_exec"). The object stays
// loaded for the rest of the process. Null with a message on failure.
PluginExec loadPlugin(const std::string& path, std::string& error);

}  // namespace runner
