#include "settings/eSetConfig.h"
#include "settings/lang.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "ui/buttons.h"
#include "ui/captioned_field.h"
#include "ui/message.h"

namespace {

// The rows: captions in one column, each field under its caption, the
// fields as wide as the client area less the column's margin on each side.
constexpr int columnLeft = 60;
constexpr int captionWidth = 320;
constexpr int fieldBelow = 30;
constexpr int languageRow = 130;
constexpr int nicknameRow = 200;
constexpr int directoryRow = 270;
constexpr int languageListHeight = 35;
constexpr int languagesShownOpen = 3;

constexpr int maxNicknameChars = 15;
constexpr int maxDirectoryChars = 100;

constexpr int saveWidth = 140;
constexpr int saveTop = 350;

struct LanguageEntry {
    const char* name;
    int number;
};
constexpr LanguageEntry kLanguages[] = {{"English", 1}, {"French", 2}, {"Italian", 3}};

void showBox(const eString& text) { showMessage(text, tr("Warning"), warningBoxFlags); }

}  // namespace

eSetConfig::eSetConfig(eString title) : eWindow(1) {
    cmove(ePoint(100, 95));
    cresize(eSize(520, 386));
    setText(title);
    const int fieldWidth = getClientSize().width() - 2 * columnLeft;
    auto row = [fieldWidth](int top) {
        return CaptionPlace{ePoint(columnLeft, top), captionWidth, fieldBelow, fieldWidth};
    };

    help = new eLabel(this, eLabel::flagWrap, 0, "eLabel");
    help->move(ePoint(10, 10));
    help->resize(eSize(500, 120));
    help->setText(LangT(texts::settingsHelp, CORLANG));

    langCaption = addCaption(this, row(languageRow), LangT(texts::languageCaption, CORLANG));
    language = new eComboBox(this, languagesShownOpen, langCaption, 1, "eComboBox");
    language->move(row(languageRow).fieldPosition());
    language->resize(eSize(fieldWidth, languageListHeight));
    for (const LanguageEntry& entry : kLanguages)
        new eListBoxEntryText(language->getList(), entry.name, entry.number);  // owned by the list
    language->loadDeco();
    // A hand-edited language outside the list shows English, so Save
    // always finds a current entry.
    language->setCurrent(CORLANG >= 1 && CORLANG <= 3 ? CORLANG - 1 : 0, false);

    CaptionedTextField nick = addCaptionedTextField(this, row(nicknameRow), LangT(texts::nicknameCaption, CORLANG),
                                                    CORNICK, maxNicknameChars);
    nickCaption = nick.caption;
    nickname = nick.field;

    CaptionedTextField dir = addCaptionedTextField(this, row(directoryRow), LangT(texts::directoryCaption, CORLANG),
                                                   CORDDIR, maxDirectoryChars);
    dirCaption = dir.caption;
    directory = dir.field;

    eButton* save = new eButton(this);
    save->move(ePoint((getClientSize().width() - saveWidth) / 2, saveTop));
    save->resize(eSize(saveWidth, buttonHeight()));
    save->setText(LangT(texts::saveButton, CORLANG));
    save->loadDeco();
    save->selected.connect(SigC::slot(*this, &eSetConfig::saveConfig));

    setFocus(language);
}

eSetConfig::~eSetConfig() = default;

void eSetConfig::saveConfig() {
    const eString noDirectory = LangT(texts::noDirectoryWarning, CORLANG);
    const eString noNickname = LangT(texts::noNicknameWarning, CORLANG);
    const eString saved = LangT(texts::settingsSaved, CORLANG);

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
