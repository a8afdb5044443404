#include "community/text_view.h"

namespace community {

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
    float line = fontRenderClass::getInstance()->getLineHeight(label->getFont());
    eSize area = visible->getSize();
    int page = line > 0 ? static_cast<int>(static_cast<float>(static_cast<int>(area.h / line)) * line) : area.h;
    if (page < 1) page = 1;
    visible->resize(eSize(area.w, page + static_cast<int>(line / 6)));
    label->resize(eSize(area.w, 14 * page));
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
    const int fontSize = eSkin::getActive()->queryValue("fontsize", 20);
    auto* button = new eButton(window, nullptr, 1);  // owned by the window
    button->move(ePoint((window->getClientSize().width() - 290) / 2 + 150 * slot, 425));
    button->resize(eSize(140, fontSize + 8));
    button->setText(caption);
    button->loadDeco();
    return button;
}

}  // namespace community
