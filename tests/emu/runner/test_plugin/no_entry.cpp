// A shared object that loads but has no plugin_exec.
extern "C" __attribute__((visibility("default"))) int plugin_main(void*) { return 0; }
