#include "community/eShowFile.h"
#include "community/ParseShoutInput.h"
#include "community/endpoints.h"
#include "community/text_view.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "ui/buttons.h"
#include "ui/message.h"

namespace {
constexpr int maxShoutChars = 500;
}

eShowFile::eShowFile(eString title) : eWindow(1) {
    community::placeTextWindow(this);
    setText(title);
    eSize client = getClientSize();

    community::TextArea area = community::addTextArea(this);
    scrollbar = area.scrollbar;
    visible = area.visible;

    shoutLabel = new eLabel(visible);
    shoutLabel->move(ePoint(0, 0));
    shoutLabel->setFlags(eLabel::flagWrap);
    shoutLabel->setFont(eSkin::getActive()->queryFont("eStatusBar"));
    pageHeight = community::layoutPage(visible, shoutLabel);
    scroller.emplace(shoutLabel, scrollbar, pageHeight);
    shoutLabel->show();

    input = new eTextInputField(this);
    input->move(ePoint(10, 385));
    input->resize(eSize(client.w - 30, textFieldHeight()));
    input->setMaxChars(maxShoutChars);
    input->setText(empty);
    input->loadDeco();

    auto* send = community::addButton(this, 0, LangT(texts::sendShoutButton, CORLANG));
    send->selected.connect(SigC::slot(*this, &eShowFile::sendShout));

    auto* refresh = community::addButton(this, 1, LangT(texts::refreshButton, CORLANG));
    refresh->selected.connect(SigC::slot(*this, &eShowFile::retrieveShout));

    // Once per window: each completed request runs its handler once.
    listFetcher.downloadDone.connect(SigC::slot(*this, &eShowFile::shoutDownDone));
    sendFetcher.downloadDone.connect(SigC::slot(*this, &eShowFile::shoutDownSend));

    busy = 0;
    setFocus(input);
    retrieveShout();
}

eShowFile::~eShowFile() = default;

void eShowFile::showText(const eString& text) { community::showFromTop(*scroller, shoutLabel, text); }

void eShowFile::updateScrollbar() { scroller->update(); }

void eShowFile::retrieveShout() {
    if (busy) return;
    busy = 1;
    showText(LangT(texts::waitConnecting, CORLANG));
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
        showMessage(LangT(texts::emptyShoutWarning, CORLANG), tr("Warning"), warningBoxFlags);
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
    showText(LangT(texts::waitShoutbox, CORLANG));
    busy = 0;
    retrieveShout();  // its reply overwrites the post's, which nobody reads
}

int eShowFile::eventHandler(const eWidgetEvent& event) {
    if (community::handleTextKeys(*this, *scroller, event)) return 1;
    return eWindow::eventHandler(event);
}
