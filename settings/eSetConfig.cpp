#include "settings/eSetConfig.h"
#include "settings/lang.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "ui/message.h"

namespace {

constexpr int kBoxFlags = 0x21;

struct LanguageEntry {
    const char* name;
    int number;
};
constexpr LanguageEntry kLanguages[] = {{"English", 1}, {"French", 2}, {"Italian", 3}};

void showBox(const eString& text) { showMessage(text, tr("Warning"), kBoxFlags); }

}  // namespace

eSetConfig::eSetConfig(eString title) : eWindow(1) {
    cmove(ePoint(100, 95));
    cresize(eSize(520, 386));
    setText(title);
    const int F = eSkin::getActive()->queryValue("fontsize", 20);
    const int fieldWidth = getClientSize().width() - 120;

    help = new eLabel(this, eLabel::flagWrap, 0, "eLabel");
    help->move(ePoint(10, 10));
    help->resize(eSize(500, 120));
    help->setText(LangT(48, CORLANG));

    langCaption = new eLabel(this, 0, 0, "eLabel");
    langCaption->move(ePoint(60, 130));
    langCaption->resize(eSize(320, F + 4));
    langCaption->setText(LangT(49, CORLANG));

    language = new eComboBox(this, 3, langCaption, 1, "eComboBox");
    language->move(ePoint(60, 160));
    language->resize(eSize(fieldWidth, 35));
    for (const LanguageEntry& entry : kLanguages)
        new eListBoxEntryText(language->getList(), entry.name, entry.number);  // owned by the list
    language->loadDeco();
    // A hand-edited language outside the list shows English, so Save
    // always finds a current entry.
    language->setCurrent(CORLANG >= 1 && CORLANG <= 3 ? CORLANG - 1 : 0, false);

    nickCaption = new eLabel(this, 0, 0, "eLabel");
    nickCaption->move(ePoint(60, 200));
    nickCaption->resize(eSize(320, F + 4));
    nickCaption->setText(LangT(50, CORLANG));

    nickname = new eTextInputField(this, nullptr, nullptr, "eNumber");
    nickname->move(ePoint(60, 230));
    nickname->resize(eSize(fieldWidth, F + 10));
    nickname->setMaxChars(15);
    nickname->setText(CORNICK);
    nickname->loadDeco();

    dirCaption = new eLabel(this, 0, 0, "eLabel");
    dirCaption->move(ePoint(60, 270));
    dirCaption->resize(eSize(320, F + 4));
    dirCaption->setText(LangT(51, CORLANG));

    directory = new eTextInputField(this, nullptr, nullptr, "eNumber");
    directory->move(ePoint(60, 300));
    directory->resize(eSize(fieldWidth, F + 10));
    directory->setMaxChars(100);
    directory->setText(CORDDIR);
    directory->loadDeco();

    eButton* save = new eButton(this, nullptr, 1, "eButton");
    save->move(ePoint((getClientSize().width() - 140) / 2, 350));
    save->resize(eSize(140, F + 8));
    save->setText(LangT(52, CORLANG));
    save->loadDeco();
    save->selected.connect(SigC::slot(*this, &eSetConfig::saveConfig));

    setFocus(language);
}

eSetConfig::~eSetConfig() = default;

void eSetConfig::saveConfig() {
    const eString noDirectory = LangT(53, CORLANG);
    const eString noNickname = LangT(54, CORLANG);
    const eString saved = LangT(55, CORLANG);

    eListBoxEntryText* current = language->getCurrent();
    const int number = current ? current->getKey() : 1;
    switch (saveSettings(number, directory->getText(), nickname->getText())) {
    case SaveResult::NoDirectory:
        showBox(noDirectory);
        return;
    case SaveResult::NoNickname:
        showBox(noNickname);
        return;
    case SaveResult::WriteFailed:
        showBox(tr("The settings could not be saved."));
        return;
    case SaveResult::Saved:
        break;
    }
    showBox(saved);
    retrieveConfig();
    accept();
}
