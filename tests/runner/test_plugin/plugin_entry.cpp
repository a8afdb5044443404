// The entry function lumenhost looks for, as the real plug-in has it.
#include "TestMainWindow.h"

extern "C" __attribute__((visibility("default"))) int plugin_exec(void*) {
    TestMainWindow window;
    window.show();
    int result = window.exec();
    window.hide();
    return result;
}
