#include "ui/message.h"
#include <libintl.h>
#include <clocale>
#include "host/ewidget.h"

eString tr(const char* text) { return dcgettext(nullptr, text, LC_MESSAGES); }

int showMessage(const eString& text, const eString& caption, int flags) {
    eMessageBox box(text, caption, flags, eMessageBox::btOK, 0);
    box.show();
    int result = box.exec();
    box.hide();
    return result;
}
