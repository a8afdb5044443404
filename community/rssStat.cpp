#include "community/rssStat.h"
#include "ui/logo.h"
#include "community/ParseStatInput.h"
#include "community/endpoints.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"

rssStat::rssStat() : eWindow(1) {
    move(ePoint(100, 50));
    cresize(eSize(520, 400));
    setText(LangT(38, CORLANG));
    int fontSize = eSkin::getActive()->queryValue("fontsize", 20);

    // Without its image the window still works; the label keeps its defaults.
    logoLabel = new eLabel(this);
    showLogo(logoLabel, paths::logo, ePoint(0, 0), eSize(520, 125));

    statLabel = new eLabel(this);
    statLabel->move(ePoint(10, 130));
    statLabel->resize(eSize(500, 235));
    statLabel->setFlags(eLabel::flagWrap);
    statLabel->setFont(eSkin::getActive()->queryFont("eStatusBar"));

    auto* ok = new eButton(this, nullptr, 1);
    ok->move(ePoint(220, getClientSize().h - 40));
    ok->resize(eSize(74, fontSize + 8));
    ok->setText("OK");
    ok->setShortcut("green");
    ok->setShortcutPixmap("green");
    ok->loadDeco();
    ok->selected.connect(SigC::slot(*this, &eWidget::accept));

    fetcher.downloadDone.connect(SigC::slot(*this, &rssStat::statDownDone));
    busy = 0;
    setFocus(ok);
    retrieveStat();
}

rssStat::~rssStat() = default;

void rssStat::retrieveStat() {
    if (busy) return;
    busy = 1;
    statLabel->hide();
    statLabel->setText(LangT(23, CORLANG));
    statLabel->show();
    guard = 0;
    fetcher.fetch(endpoints::statistics(), paths::shoutFile);
}

void rssStat::statDownDone(int) {
    if (guard) return;
    guard = 1;
    statLabel->hide();
    statLabel->setText(ParseStatInput());
    statLabel->show();
    busy = 0;
}
