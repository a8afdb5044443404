// eDecoWidget: a widget with a named border style. The emulated skin draws
// every decoration the same way, so loading one only records it.
#include "emu/widget_private.h"

eDecoWidget::eDecoWidget(eWidget* parent, int takeFocus, const char* decoration)
    : eWidget(parent, takeFocus), decoration(decoration ? decoration : "") {
    setFont(eSkin::getActive()->queryFont(this->decoration));  // each decoration has its skin font
}

void eDecoWidget::loadDeco() { loaded = true; }

const eString& eDecoWidget::getDecoration() const { return decoration; }

bool eDecoWidget::decorationLoaded() const { return loaded; }
