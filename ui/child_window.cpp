#include "ui/child_window.h"

int runModal(eWidget& window) {
    window.show();
    int result = window.exec();
    window.hide();
    return result;
}
