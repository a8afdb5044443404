#include "ui/buttons.h"

namespace {
constexpr int defaultFontSize = 20;  // a skin without the value
constexpr int buttonFrame = 8;
constexpr int textFieldFrame = 10;
constexpr int okButtonWidth = 74;
constexpr int okButtonRise = 40;  // its top, above the client area's bottom
}  // namespace

int skinFontSize() { return eSkin::getActive()->queryValue("fontsize", defaultFontSize); }

int buttonHeight() { return skinFontSize() + buttonFrame; }

int textFieldHeight() { return skinFontSize() + textFieldFrame; }

eButton* addOkButton(eWidget* window, int left) {
    auto* ok = new eButton(window);  // owned by the window
    ok->setText("OK");
    ok->move(ePoint(left, window->getClientSize().height() - okButtonRise));
    ok->resize(eSize(okButtonWidth, buttonHeight()));
    ok->setShortcut("green");
    ok->setShortcutPixmap("green");
    ok->loadDeco();
    ok->selected.connect(SigC::slot(*window, &eWidget::accept));
    return ok;
}
