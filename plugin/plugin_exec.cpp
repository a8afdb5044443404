#include "plugin/plugin_exec.h"
#include "plugin/rssMain.h"

extern "C" int plugin_exec(void*) {
    rssMain menu;
    menu.show();
    int result = menu.exec();
    menu.hide();
    return result;
}
