// ui/message.h without widgets: boxes go to the answerer's log, answered OK.
#include "ui/message.h"
#include "tests/support/message_box_answerer.h"

eString tr(const char* text) { return text; }

int showMessage(const eString& text, const eString& caption, int flags) {
    MessageBoxAnswerer::log().push_back({text, caption, flags});
    return 1;
}
