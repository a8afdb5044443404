#include "community/text_view.h"
#include "ui/buttons.h"
#include "ui/text_page.h"

namespace community {

void placeTextWindow(eWidget* window) {
    window->cmove(ePoint(65, 70));
    window->cresize(eSize(595, 460));
}

TextArea addTextArea(eWidget* window) {
    eSize client = window->getClientSize();
    auto* scrollbar = new eProgress(window, 0);  // owned by the window
    scrollbar->setName("scrollbar");
    scrollbar->move(ePoint(client.w - 10, 0));
    scrollbar->resize(eSize(10, client.h - 65));
    scrollbar->setStart(0);
    scrollbar->setPerc(100);
    scrollbar->direction = 1;

    auto* visible = new eWidget(window);  // owned by the window
    visible->setName("visible");
    visible->move(ePoint(10, 5));
    visible->resize(eSize(window->getSize().w - 50, client.h - 90));
    return {scrollbar, visible};
}

int layoutPage(eWidget* visible, eLabel* label) {
    // Whole lines counted with the font's own height, a sixth of a line
    // under them; a step scrolls the whole lines.
    constexpr PageRule rule{/*extraLineDivisor=*/6, /*countWithWholePixelLines=*/false, /*stepIsWholeArea=*/false};
    int page = layOutTextPage(visible, label, rule);
    label->hide();
    label->move(ePoint(0, 0));
    return page;
}

void showFromTop(PageScroller& scroller, eLabel* label, const eString& text) {
    label->hide();
    label->move(ePoint(0, 0));
    label->setText(text);
    scroller.update();
    label->show();
}

int handleTextKeys(eWidget& window, PageScroller& scroller, const eWidgetEvent& event) {
    if (event.type != eWidgetEvent::evtAction) return 0;
    const eAction* action = event.action;
    if (action == &i_cursorActions->cancel) {
        window.close(0);
        return 1;
    }
    if (scroller.range() == 0) return 0;
    if (action == &i_cursorActions->up) {
        scroller.up();
        return 1;
    }
    if (action == &i_cursorActions->down) {
        scroller.down();
        return 1;
    }
    return 0;
}

eButton* addButton(eWidget* window, int slot, const eString& caption) {
    // Two buttons side by side, centred as a pair.
    constexpr int width = 140;
    constexpr int step = 150;  // its width and the gap
    constexpr int top = 425;
    auto* button = new eButton(window, nullptr, 1);  // owned by the window
    button->move(ePoint((window->getClientSize().width() - (width + step)) / 2 + step * slot, top));
    button->resize(eSize(width, buttonHeight()));
    button->setText(caption);
    button->loadDeco();
    return button;
}

}  // namespace community
