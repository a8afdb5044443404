#include "about/rssAbout.h"
#include "ui/logo.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"

rssAbout::rssAbout() : eWindow(1) {
    move(ePoint(100, 70));
    cresize(eSize(520, 376));
    setText(LangT(31, CORLANG));
    const int F = eSkin::getActive()->queryValue("fontsize", 20);

    logo = new eLabel(this, 0, 0, "eLabel");
    showLogo(logo, paths::aboutLogo, ePoint(0, 0), eSize(105, 105));

    credit = new eLabel(this, 0, 0, "eLabel");
    credit->move(ePoint(108, 0));
    credit->resize(eSize(410, 105));
    credit->setText(LangT(32, CORLANG));

    version = new eLabel(this, 0, 0, "eLabel");
    version->move(ePoint(10, 130));
    version->resize(eSize(500, 200));
    version->setProperty("align", "center");
    version->setText(LangT(33, CORLANG));

    eButton* ok = new eButton(this, nullptr, 1, "eButton");
    ok->move(ePoint(220, getClientSize().height() - 40));
    ok->resize(eSize(74, F + 8));
    ok->setText("OK");
    ok->setShortcut("green");
    ok->setShortcutPixmap("green");
    ok->loadDeco();
    ok->selected.connect(SigC::slot(*this, &rssAbout::accept));
    setFocus(ok);
}

rssAbout::~rssAbout() = default;
