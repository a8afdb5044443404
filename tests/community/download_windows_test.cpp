// The download area's three windows against a loopback community server.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "community/downArea.h"
#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "tests/community/window_test_support.h"
#include "tests/plugin/modal_script.h"

using namespace communitytest;

namespace {
const char* const filePath = "/lumennews/files/readme.txt";

eListBoxEntryText* entry(eListBox<eListBoxEntryText>* list, int index) {
    return static_cast<eListBoxEntryText*>(list->getEntries().at(index));
}

class DownloadWindows : public WindowTest {
protected:
    // The detail window on the reply `fixture` (as /var/tmp/rss.tmp).
    void openDetail(const std::string& fixture) {
        root.copyFixture("community/" + fixture, paths::feedFile);
        detail = std::make_unique<eShowDownFile>("Readme\n");
    }
    void TearDown() override {
        detail.reset();
        WindowTest::TearDown();
    }
    std::string detailText() const { return detail->textLabel()->getText(); }

    std::unique_ptr<eShowDownFile> detail;
};
}  // namespace

TEST_F(DownloadWindows, CategoryListOffersTheSixCategoriesAndRequestsOne) {
    downArea area;
    auto* list = area.listBox();
    ASSERT_EQ(list->getCount(), 6);
    EXPECT_EQ(entry(list, 2)->getText(), "Plugins");
    EXPECT_EQ(entry(list, 5)->getText(), "Skins");
    EXPECT_EQ(entry(list, 5)->getKey(), 6);
    EXPECT_EQ(area.getFocus(), list);

    server.stall(script);
    area.selectedItem(entry(list, 2));
    EXPECT_EQ(area.status()->getText(), LangT(23, 1));
    ASSERT_TRUE(runUntil([&] { return targets().size() == 1; }));
    EXPECT_EQ(targets()[0], "/lumennews/index.php?op=outcat&cat=Plugins");

    // A second choice while the first runs only shows the notice again.
    area.status()->setText("");
    area.selectedItem(entry(list, 0));
    EXPECT_EQ(area.status()->getText(), LangT(23, 1));
    runUntil([] { return false; }, 1);
    EXPECT_EQ(targets().size(), 1u);
}

TEST_F(DownloadWindows, FileListReadsTheReplyAndRequestsTheChosenFile) {
    root.copyFixture("community/category_id_suffix_and_entity.txt", paths::feedFile);
    downCat files("Plugins");
    EXPECT_EQ(files.getText(), "Plugins");
    EXPECT_FALSE(root.exists(paths::feedFile));
    auto* list = files.listBox();
    ASSERT_EQ(list->getCount(), 2);
    EXPECT_EQ(entry(list, 0)->getText(), "Tips & Tricks\n");
    EXPECT_EQ(entry(list, 0)->getKey(), 42);

    server.stall(script);
    files.selectedItem(entry(list, 0));
    files.selectedItem(entry(list, 1));
    ASSERT_TRUE(runUntil([&] { return targets().size() == 1; }));
    runUntil([] { return false; }, 1);
    EXPECT_EQ(targets(), std::vector<std::string>{"/lumennews/index.php?op=outfile&idf=42"});
}

TEST_F(DownloadWindows, DetailShowsTheLayoutWithDownloadFocused) {
    openDetail("detail_eight_lines.txt");
    EXPECT_FALSE(root.exists(paths::feedFile));
    EXPECT_EQ(detail->getText(), "Readme\n");
    EXPECT_EQ(detailText().rfind("TITLE: Readme & notes\n\nBY: anna", 0), 0u) << detailText();
    EXPECT_EQ(detail->getFocus()->getText(), "Download");
    EXPECT_EQ(detail->scrollRange(), 0);
}

TEST_F(DownloadWindows, DownloadWritesTheFileAndReportsCompletion) {
    openDetail("detail_eight_lines.txt");
    server.serve(filePath, "the readme body\n");
    mainloop().post([&] { detail->retrieveFile(); });
    EXPECT_EQ(detail->exec(), 0);
    EXPECT_EQ(targets(), std::vector<std::string>{filePath});
    EXPECT_EQ(root.read("/media/hdd/readme.txt"), "the readme body\n");
    const auto* done = box("Download Completed");
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->text, "File readme.txt succesfully downloaded in your orbivox directory: /media/hdd/");
    EXPECT_EQ(done->flags, 0x11);
}

TEST_F(DownloadWindows, SecondPressWhileDownloadingSendsNothing) {
    openDetail("detail_eight_lines.txt");
    server.stall(filePath);
    detail->retrieveFile();
    detail->retrieveFile();
    EXPECT_EQ(detailText(), LangT(44, 1));
    runUntil([] { return false; }, 1);
    EXPECT_EQ(targets().size(), 1u);
    EXPECT_EQ(box("Download Completed"), nullptr);
}

TEST_F(DownloadWindows, UnusableServerNamesAreRefusedBeforeAnyRequest) {
    for (const char* reply : {"../evil\nEvil\n", "\nEmpty\n", "..\nUp\n", "a\\b\nBackslash\n", "a\rb\nCR\n"}) {
        boxes.clear();
        root.write(paths::feedFile, reply);
        detail = std::make_unique<eShowDownFile>("Evil\n");
        std::string shown = detailText();
        detail->retrieveFile();
        ASSERT_EQ(boxes.boxes().size(), 1u) << reply;
        EXPECT_EQ(boxes.boxes()[0].text, "The server sent an unusable file name.");
        EXPECT_EQ(boxes.boxes()[0].caption, "Warning");
        EXPECT_EQ(boxes.boxes()[0].flags, 0x21);
        // Still usable: the details stay and the refusal comes again.
        EXPECT_EQ(detailText(), shown);
        detail->retrieveFile();
        EXPECT_EQ(boxes.boxes().size(), 2u);
    }
    runUntil([] { return false; }, 1);
    EXPECT_TRUE(targets().empty());
    EXPECT_FALSE(root.exists("/media/evil"));
}

TEST_F(DownloadWindows, DroppedDownloadKeepsTheOldFileAndTheWindowUsable) {
    root.write("/media/hdd/readme.txt", "old contents");
    openDetail("detail_eight_lines.txt");
    std::string shown = detailText();
    server.dropAfter(filePath, std::string(5000, 'n'), 100);
    detail->retrieveFile();
    ASSERT_TRUE(runUntil([&] { return box("User Abort") && quiet(); }));
    EXPECT_EQ(root.read("/media/hdd/readme.txt"), "old contents");
    EXPECT_EQ(box("Download Completed"), nullptr);
    EXPECT_EQ(detailText(), shown);

    // A second try goes out and completes.
    server.serve(filePath, "new contents");
    mainloop().post([&] { detail->retrieveFile(); });
    EXPECT_EQ(detail->exec(), 0);
    EXPECT_EQ(root.read("/media/hdd/readme.txt"), "new contents");
    EXPECT_NE(box("Download Completed"), nullptr);
}

TEST_F(DownloadWindows, LongDetailsScrollAndDownloadStartsFromTheTop) {
    std::string reply = "readme.txt\nTitle\nanna\nx\n1 KB\n3\n";
    for (int i = 0; i < 80; ++i) reply += "description line " + std::to_string(i) + "\n";
    root.write(paths::feedFile, reply);
    detail = std::make_unique<eShowDownFile>("Readme\n");
    ASSERT_GT(detail->scrollRange(), 0);
    EXPECT_EQ(detail->eventHandler(action(i_cursorActions->down)), 1);
    EXPECT_LT(detail->textLabel()->getPosition().y, 0);
    server.stall(filePath);
    detail->retrieveFile();
    EXPECT_EQ(detail->textLabel()->getPosition().y, 0);
    EXPECT_EQ(detailText(), LangT(44, 1));
}

TEST_F(DownloadWindows, CancelKeyAndCancelButtonCloseWithZero) {
    openDetail("detail_five_lines.txt");
    mainloop().post([&] { detail->eventHandler(action(i_cursorActions->cancel)); });
    EXPECT_EQ(detail->exec(), 0);

    openDetail("detail_five_lines.txt");
    eButton* cancel = nullptr;
    for (eWidget* child : detail->getChildren())
        if (child->getText() == "Cancel") cancel = dynamic_cast<eButton*>(child);
    ASSERT_NE(cancel, nullptr);
    mainloop().post([cancel] { cancel->selected(); });
    EXPECT_EQ(detail->exec(), 0);
    EXPECT_TRUE(targets().empty());
}

TEST_F(DownloadWindows, ThreeRequestsInARowOpenTheFileListOnceEach) {
    server.serve(communitytest::script, "17\nReadme\n");
    downArea area;
    ModalScript script;
    int fileLists = 0;
    for (int round = 0; round < 3; ++round) {
        script.when([] { return ModalScript::topIs<downArea>(); },
                    [&] { area.selectedItem(entry(area.listBox(), 1)); })
            .when([] { return ModalScript::topIs<downCat>(); },
                  [&] {
                      ++fileLists;
                      ModalScript::top()->reject();
                  });
    }
    script.when([] { return ModalScript::topIs<downArea>() && quiet(); }, [&] { area.reject(); });
    area.show();
    area.exec();
    EXPECT_FALSE(script.timedOut());
    EXPECT_EQ(fileLists, 3);
    EXPECT_EQ(targets().size(), 3u);
    EXPECT_EQ(area.getFocus(), area.listBox());
}
