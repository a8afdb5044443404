// The plug-in's one entry point, as the host calls it.
#pragma once

// Runs the main menu modally and returns its close code. The argument is
// the host's and is not read.
extern "C" __attribute__((visibility("default"))) int plugin_exec(void* hostParameter);

// The signature the host looks up with dlsym.
using PluginExecFunction = int (*)(void*);
