#include "community/rssStat.h"
#include "community/ParseStatInput.h"
#include "community/endpoints.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "ui/buttons.h"
#include "ui/logo.h"

namespace {
constexpr int okLeft = 220;
}

rssStat::rssStat() : eWindow(1) {
    move(ePoint(100, 50));
    cresize(eSize(520, 400));
    setText(LangT(texts::statisticsTitle, CORLANG));

    // Without its image the window still works; the label keeps its defaults.
    logoLabel = new eLabel(this);
    showLogo(logoLabel, paths::logo, ePoint(0, 0), eSize(bannerLogoWidth, bannerLogoHeight));

    statLabel = new eLabel(this);
    statLabel->move(ePoint(10, 130));
    statLabel->resize(eSize(500, 235));
    statLabel->setFlags(eLabel::flagWrap);
    statLabel->setFont(eSkin::getActive()->queryFont("eStatusBar"));

    eButton* ok = addOkButton(this, okLeft);

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
    statLabel->setText(LangT(texts::waitConnecting, CORLANG));
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
