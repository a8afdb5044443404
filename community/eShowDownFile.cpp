#include "community/eShowDownFile.h"
#include "community/endpoints.h"
#include "community/page_geometry.h"
#include "settings/lang.h"
#include "settings/settings.h"
#include "ui/message.h"

eShowDownFile::eShowDownFile(const char* title) : eWindow(1) {
    cmove(ePoint(65, 70));
    cresize(eSize(595, 460));
    setText(tr(title));
    int fontSize = eSkin::getActive()->queryValue("fontsize", 20);
    eSize client = getClientSize();

    scrollbar = new eProgress(this, 0);
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

    detailLabel = new eLabel(visible);
    detailLabel->move(ePoint(0, 0));
    detailLabel->setFlags(eLabel::flagWrap);
    pageHeight = community::layoutPage(visible, detailLabel);
    scroller.emplace(detailLabel, scrollbar, pageHeight);

    FileDetail detail = loadFileDetail(CORLANG);
    fileName = detail.fileName;
    detailText = detail.text;
    detailLabel->setText(detailText);
    updateScrollbar();
    detailLabel->show();

    auto* download = new eButton(this, nullptr, 1);
    download->move(ePoint((client.w - 290) / 2, 425));
    download->resize(eSize(140, fontSize + 8));
    download->setText(LangT(42, CORLANG));
    download->loadDeco();
    download->selected.connect(SigC::slot(*this, &eShowDownFile::retrieveFile));

    auto* cancel = new eButton(this, nullptr, 1);
    cancel->move(ePoint((client.w - 290) / 2 + 150, 425));
    cancel->resize(eSize(140, fontSize + 8));
    cancel->setText(LangT(43, CORLANG));
    cancel->loadDeco();
    cancel->selected.connect(SigC::slot(*this, &eWidget::accept));

    // Once per window, so one completion shows one box.
    fetcher.downloadDone.connect(SigC::slot(*this, &eShowDownFile::FileDownDone));
    fetcher.downloadFailed.connect(SigC::slot(*this, &eShowDownFile::FileDownFailed));

    busy = 0;
    setFocus(download);
}

eShowDownFile::~eShowDownFile() = default;

void eShowDownFile::showText(const eString& text) {
    detailLabel->hide();
    detailLabel->move(ePoint(0, 0));
    detailLabel->setText(text);
    updateScrollbar();
    detailLabel->show();
}

void eShowDownFile::updateScrollbar() { scroller->update(); }

void eShowDownFile::retrieveFile() {
    eString name = fileName;
    name.removeChars('\n');
    // The name becomes a path in the download directory: refuse anything
    // that would leave it, name the directory itself or hide bytes.
    if (!usableDownloadName(name)) {
        showMessage(tr("The server sent an unusable file name."), tr("Warning"), 0x21);
        return;
    }
    showText(LangT(44, CORLANG));
    if (busy) return;
    busy = 1;
    eString url = endpoints::fileDownload(name);
    eString target = CORDDIR + name;
    guard = 0;
    fetcher.fetch(url, target);
}

void eShowDownFile::FileDownDone(int) {
    detailLabel->hide();
    if (guard) return;
    guard = 1;
    busy = 0;
    eString name = fileName;
    name.removeChars('\n');
    eString message = LangT(45, CORLANG) + name + LangT(46, CORLANG) + CORDDIR;
    showMessage(message, LangT(47, CORLANG), 0x11);
    accept();
}

// The fetcher has shown what went wrong; the details come back so that
// the user can try again or leave.
void eShowDownFile::FileDownFailed(int) {
    if (guard) return;
    guard = 1;
    busy = 0;
    showText(detailText);
}

int eShowDownFile::eventHandler(const eWidgetEvent& event) {
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
