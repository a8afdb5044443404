#include "news/rssDetail.h"
#include "news/Selchoice1.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "text/text_cleaning.h"
#include "ui/buttons.h"
#include "ui/text_page.h"

namespace {
constexpr int okLeft = 250;
}

rssDetail::rssDetail(const char*, const char*, const char*, const char* link) : eWindow(0) {
    setText("");
    move(ePoint(70, 60));
    resize(eSize(595, 450));
    const eSize client = getClientSize();

    bar = new eProgress(this, 0);
    bar->setStart(0);
    bar->setPerc(100);
    bar->direction = 1;
    bar->move(ePoint(client.width() - 10, 0));
    bar->resize(eSize(20, client.height() - 30));

    area = new eLabel(this, 0, 0, "eLabel");
    area->move(ePoint(5, 5));
    area->resize(eSize(client.width() - 20, client.height() - 56));

    text = new eLabel(area, 0, 0, "eLabel");
    text->setText("");
    text->move(ePoint(0, 0));
    text->resize(eSize(10, 10));
    text->setFlags(eLabel::flagWrap);

    // Whole lines counted in whole pixels, a twelfth of a line under them;
    // a step scrolls the whole area. downloadDone2 makes room for articles
    // longer than the label's steps.
    constexpr PageRule rule{/*extraLineDivisor=*/12, /*countWithWholePixelLines=*/true, /*stepIsWholeArea=*/true};
    scroller = PageScroller(text, bar, layOutTextPage(area, text, rule));

    addOkButton(this, okLeft);

    busy = 0;
    updateScrollbar();
    Connect2(link ? link : "");
}

rssDetail::~rssDetail() = default;

void rssDetail::Connect2(eString link) {
    eString waiting = LangT(texts::waitArticle, CORLANG);
    link = replaceAll(link, "&Itemid=99999999", "");
    if (busy) return;
    busy = 1;
    text->setText(waiting);
    updateScrollbar();
    fetcher.downloadDone.connect(SigC::slot(*this, &rssDetail::downloadDone2));
    completed = 0;
    fetcher.fetch(link, paths::articleFile);
}

void rssDetail::downloadDone2(int) {
    if (completed) return;
    completed = 1;
    eString article = Selchoice1();
    setText(LangT(texts::articleTitle, CORLANG));
    text->setText(article);
    fitTextLabel();
    updateScrollbar();
    setFocus(text);
    busy = 0;
}

void rssDetail::fitTextLabel() {
    // The label clips its text: an article longer than the label would
    // scroll into empty pages. Grow it to whole pages that hold the text.
    int page = scroller.pageHeight();
    int height = text->getExtend().height();
    if (height <= text->getSize().height()) return;
    int pages = (height + page - 1) / page;
    text->resize(eSize(text->getSize().width(), pages * page));
}

void rssDetail::updateScrollbar() { scroller.update(); }
void rssDetail::handleUp() { scroller.up(); }
void rssDetail::handleDown() { scroller.down(); }

int rssDetail::eventHandler(const eWidgetEvent& event) {
    if (event.type == eWidgetEvent::evtKey && event.key && event.key->flags == 0) {
        if (event.key->code == rcPageUp)
            handleUp();
        else if (event.key->code == rcPageDown)
            handleDown();
    }
    return eWindow::eventHandler(event);
}

void rssDetail::redrawWidget(gPainter* target, const eRect& area) {
    eWindow::redrawWidget(target, area);
}
