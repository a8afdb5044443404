#include "community/eShowFile.h"
#include "community/ParseShoutInput.h"
#include "community/endpoints.h"
#include "community/page_geometry.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "ui/message.h"

eShowFile::eShowFile(eString title) : eWindow(1) {
    cmove(ePoint(65, 70));
    cresize(eSize(595, 460));
    setText(title);
    int fontSize = eSkin::getActive()->queryValue("fontsize", 20);
    eSize client = getClientSize();

    scrollbar = new eProgress(this);
    scrollbar->setName("scrollbar");
    scrollbar->move(ePoint(client.w - 10, 0));
    scrollbar->resize(eSize(10, client.h - 65));
    scrollbar->setStart(0);
    scrollbar->setPerc(100);
    scrollbar->direction = 1;

    visible = new eWidget(this);
    visible->setName("visible");
    visible->move(ePoint(10, 5));
    visible->resize(eSize(getSize().w - 50, client.h - 90));

    shoutLabel = new eLabel(visible);
    shoutLabel->move(ePoint(0, 0));
    shoutLabel->setFlags(eLabel::flagWrap);
    shoutLabel->setFont(eSkin::getActive()->queryFont("eStatusBar"));
    pageHeight = community::layoutPage(visible, shoutLabel);
    scroller.emplace(shoutLabel, scrollbar, pageHeight);
    shoutLabel->show();

    input = new eTextInputField(this);
    input->move(ePoint(10, 385));
    input->resize(eSize(client.w - 30, fontSize + 10));
    input->setMaxChars(500);
    input->setText(empty);
    input->loadDeco();

    auto* send = new eButton(this, nullptr, 1);
    send->move(ePoint((client.w - 290) / 2, 425));
    send->resize(eSize(140, fontSize + 8));
    send->setText(LangT(34, CORLANG));
    send->loadDeco();
    send->selected.connect(SigC::slot(*this, &eShowFile::sendShout));

    auto* refresh = new eButton(this, nullptr, 1);
    refresh->move(ePoint((client.w - 290) / 2 + 150, 425));
    refresh->resize(eSize(140, fontSize + 8));
    refresh->setText(LangT(35, CORLANG));
    refresh->loadDeco();
    refresh->selected.connect(SigC::slot(*this, &eShowFile::retrieveShout));

    // Once per window: each completed request runs its handler once.
    listFetcher.downloadDone.connect(SigC::slot(*this, &eShowFile::shoutDownDone));
    sendFetcher.downloadDone.connect(SigC::slot(*this, &eShowFile::shoutDownSend));

    busy = 0;
    setFocus(input);
    retrieveShout();
}

eShowFile::~eShowFile() = default;

void eShowFile::showText(const eString& text) {
    shoutLabel->hide();
    shoutLabel->move(ePoint(0, 0));
    shoutLabel->setText(text);
    updateScrollbar();
    shoutLabel->show();
}

void eShowFile::updateScrollbar() { scroller->update(); }

void eShowFile::retrieveShout() {
    if (busy) return;
    busy = 1;
    showText(LangT(23, CORLANG));
    guard = 0;
    listFetcher.fetch(endpoints::shoutList(), paths::shoutFile);
}

void eShowFile::shoutDownDone(int) {
    if (guard) return;
    guard = 1;
    showText(ParseShoutInput());
    input->setText(empty);
    busy = 0;
}

void eShowFile::sendShout() {
    // Before the busy check on purpose: an empty field is always explained.
    if (input->getText().empty()) {
        showMessage(LangT(36, CORLANG), tr("Warning"), 0x21);
        return;
    }
    if (busy) return;
    busy = 1;
    eString url = endpoints::postShout(CORNICK, input->getText());
    guard = 0;
    sendFetcher.fetch(url, paths::shoutFile);
}

void eShowFile::shoutDownSend(int) {
    if (guard) return;
    guard = 1;
    showText(LangT(37, CORLANG));
    busy = 0;
    retrieveShout();  // its reply overwrites the post's, which nobody reads
}

int eShowFile::eventHandler(const eWidgetEvent& event) {
    if (event.type == eWidgetEvent::evtAction) {
        const eAction* action = event.action;
        if (action == &i_cursorActions->cancel) {
            close(0);
            return 1;
        }
        // While the text is longer than a page, up and down always scroll,
        // even at the ends.
        if (scroller->range() != 0) {
            if (action == &i_cursorActions->up) {
                scroller->up();
                return 1;
            }
            if (action == &i_cursorActions->down) {
                scroller->down();
                return 1;
            }
        }
    }
    return eWindow::eventHandler(event);
}
