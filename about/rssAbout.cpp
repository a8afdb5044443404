#include "about/rssAbout.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "ui/buttons.h"
#include "ui/logo.h"

namespace {
constexpr int okLeft = 220;
}

rssAbout::rssAbout() : eWindow(1) {
    move(ePoint(100, 70));
    cresize(eSize(520, 376));
    setText(LangT(texts::aboutTitle, CORLANG));

    logo = new eLabel(this, 0, 0, "eLabel");
    showLogo(logo, paths::aboutLogo, ePoint(0, 0), eSize(105, 105));

    credit = new eLabel(this, 0, 0, "eLabel");
    credit->move(ePoint(108, 0));
    credit->resize(eSize(410, 105));
    credit->setText(LangT(texts::aboutCredit, CORLANG));

    version = new eLabel(this, 0, 0, "eLabel");
    version->move(ePoint(10, 130));
    version->resize(eSize(500, 200));
    version->setProperty("align", "center");
    version->setText(LangT(texts::aboutVersion, CORLANG));

    setFocus(addOkButton(this, okLeft));
}

rssAbout::~rssAbout() = default;
