// The settings window on the emulated host: preselection, the warnings and
// the save that reloads the settings.
#include <gtest/gtest.h>
#include <string>
#include "emu/mainloop.h"
#include "settings/eSetConfig.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

namespace {

const std::string kOldFile = "lang=3\ndown=/var/tmp/\nnick=old\n";

template <class T>
std::vector<T*> children(eWidget& window) {
    std::vector<T*> found;
    for (eWidget* child : window.getChildren())
        if (auto* hit = dynamic_cast<T*>(child)) found.push_back(hit);
    return found;
}

class SetConfigWindow : public ::testing::Test {
protected:
    void SetUp() override {
        root.mkdirs("/media/hdd");
        root.write(paths::settingsFile, kOldFile);
        CORLANG = 1;
        CORDDIR = "/var/tmp/";
        CORNICK = "old";
    }
    eComboBox* language(eWidget& w) { return children<eComboBox>(w).at(0); }
    eTextInputField* nickname(eWidget& w) { return children<eTextInputField>(w).at(0); }
    eTextInputField* directory(eWidget& w) { return children<eTextInputField>(w).at(1); }

    // Runs the window while Save is pressed; returns the close code, or 1
    // when the window stayed open.
    int saveAndRun(eSetConfig& window) {
        mainloop().post([&] {
            window.saveConfig();
            if (window.isRunning()) window.close(1);
        });
        window.show();
        return window.exec();
    }
    void expectOneWarning(const eString& text) {
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, text);
        EXPECT_EQ(boxes.boxes()[0].caption, "Warning");
        EXPECT_EQ(boxes.boxes()[0].flags, 0x21);
    }
    void expectSettingsUnchanged() {
        EXPECT_EQ(root.read(paths::settingsFile), kOldFile);
        EXPECT_EQ(CORLANG, 1);
        EXPECT_EQ(CORDDIR, "/var/tmp/");
        EXPECT_EQ(CORNICK, "old");
    }

    BoxRoot root;
    MessageBoxAnswerer boxes;
};

}  // namespace

TEST_F(SetConfigWindow, PreselectsTheCurrentSettings) {
    CORLANG = 3;
    eSetConfig window("Config");
    EXPECT_EQ(window.getText(), "Config");
    EXPECT_EQ(language(window)->getCurrent()->getText(), "Italian");
    EXPECT_EQ(language(window)->getCurrent()->getKey(), 3);
    EXPECT_EQ(nickname(window)->getText(), "old");
    EXPECT_EQ(nickname(window)->getMaxChars(), 15);
    EXPECT_EQ(directory(window)->getText(), "/var/tmp/");
    EXPECT_EQ(directory(window)->getMaxChars(), 100);
    EXPECT_EQ(window.getFocus(), language(window));
}

TEST_F(SetConfigWindow, LanguageOutsideTheListShowsEnglishAndSavesOne) {
    CORLANG = 7;
    eSetConfig window("Config");
    EXPECT_EQ(language(window)->getCurrent()->getText(), "English");
    EXPECT_EQ(saveAndRun(window), 0);
    EXPECT_EQ(root.read(paths::settingsFile), "lang=1\ndown=/var/tmp/\nnick=old\n");
    EXPECT_EQ(CORLANG, 1);
}

TEST_F(SetConfigWindow, SaveWritesConfirmsReloadsAndCloses) {
    eSetConfig window("Config");
    language(window)->setCurrent(1, false);
    nickname(window)->setText("Tom & Jerry");
    directory(window)->setText(" /media//hdd ");
    EXPECT_EQ(saveAndRun(window), 0);
    expectOneWarning(LangT(55, 1));  // in the language the window was opened with
    EXPECT_EQ(root.read(paths::settingsFile), "lang=2\ndown=/media/hdd/\nnick=Tom_e_Jerry\n");
    EXPECT_EQ(CORLANG, 2);
    EXPECT_EQ(CORDDIR, "/media/hdd/");
    EXPECT_EQ(CORNICK, "Tom_e_Jerry");
}

TEST_F(SetConfigWindow, MissingDirectoryWarnsAndKeepsTheInput) {
    eSetConfig window("Config");
    directory(window)->setText("/media/usb");
    nickname(window)->setText(" ");  // also wrong: only the directory is reported
    EXPECT_EQ(saveAndRun(window), 1);
    expectOneWarning(LangT(53, 1));
    expectSettingsUnchanged();
    EXPECT_EQ(directory(window)->getText(), "/media/usb");
}

TEST_F(SetConfigWindow, BlankNicknameWarnsInTheCurrentLanguage) {
    CORLANG = 2;
    eSetConfig window("Config");
    nickname(window)->setText(" ");
    EXPECT_EQ(saveAndRun(window), 1);
    expectOneWarning(LangT(54, 2));
    EXPECT_EQ(root.read(paths::settingsFile), kOldFile);
}

TEST_F(SetConfigWindow, FailedWriteWarnsWithoutConfirmingAndKeepsTheSettings) {
    // A directory in the way of the temporary file makes the write fail.
    root.mkdirs(std::string(paths::settingsFile) + ".new/inside");
    eSetConfig window("Config");
    language(window)->setCurrent(1, false);
    EXPECT_EQ(saveAndRun(window), 1);
    expectOneWarning("The settings could not be saved.");
    expectSettingsUnchanged();
    EXPECT_EQ(language(window)->getCurrent()->getKey(), 2);
}
