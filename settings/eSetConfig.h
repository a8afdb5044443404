// The settings window: language, shoutbox nickname and download directory.
// Save checks the input, writes the settings file, reloads the settings
// and closes; on any failure it warns and stays open with the input kept.
#pragma once
#include "host/ewidget.h"

class eSetConfig : public eWindow {
public:
    explicit eSetConfig(eString title);
    ~eSetConfig() override;
    void saveConfig();

private:
    eLabel* help;
    eLabel* nickCaption;
    eLabel* dirCaption;
    eLabel* langCaption;
    eComboBox* language;
    eTextInputField* nickname;
    eTextInputField* directory;
};
