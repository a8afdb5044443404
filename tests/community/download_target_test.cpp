// The download name from the server against the download directory: names
// that would leave it, hide what they are, or land on the plug-in's own
// files are refused (the window's box: e2e/download_name_e2e_test.cpp); a
// CR LF reply still downloads under the bare name.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <ctime>
#include <string>
#include "community/download_target.h"
#include "community/eShowDownFile.h"
#include "emu/http_settings.h"
#include "emu/mainloop.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/message_box_answerer.h"

TEST(DownloadTarget, GuardRefusesEscapesHiddenFormattingAndThePluginsOwnFiles) {
    BoxRoot root;
    root.mkdirs("/media/hdd");
    root.write("/var/keys/corvane.cfg", "lang=1\n");
    ASSERT_EQ(symlink(root.path("/var/keys").c_str(), root.path("/media/keys").c_str()), 0);
    ASSERT_EQ(link(root.path("/var/keys/corvane.cfg").c_str(), root.path("/media/hdd/alias.cfg").c_str()), 0);
    const struct { const char* directory; std::string name; bool usable; } cases[] = {
        {"/media/hdd/", "readme.txt", true},
        {"/media/hdd/", "caf\xC3\xA9 \xE2\x80\x93 notes.tgz", true},  // accents, an en dash, a blank
        {"/media/hdd/", std::string(300, 'n'), true},                  // too long: the host says so, -12
        {"/media/hdd/", "rss.tmp", true},                              // a reply file's name elsewhere
        {"/var/tmp/", "corvane.cfg", true},
        {"/var/keys/", "corvane.cfg", false},
        {"/var/keys/", "corvane.cfg.new", false},
        {"/var/keys//", "corvane.cfg", false},
        {"/var/tmp/../keys/", "corvane.cfg", false},
        {"/media/keys/", "corvane.cfg", false},                        // a link to /var/keys
        {"/media/hdd/", "alias.cfg", false},                           // a hard link to the settings
        {"/var/tmp/", "rss.tmp", false},
        {"/var/tmp/", "rss2.tmp", false},
        {"/var/tmp/", "shout.tmp", false},
        {"/var/./tmp/", "shout.tmp", false},
        {"/var/tuxbox/plugins/", "LumenNews.png", false},
        {"/var/tuxbox/plugins/", "other.so", false},                   // the host would load it
    };
    for (const auto& [directory, name, usable] : cases)
        EXPECT_EQ(downloads::usableTarget(directory, name), usable) << directory << " + " << name;
    // Names that leave the directory, hide what they are (controls, C1's
    // NEL, bidirectional marks, embeddings and isolates, the Arabic letter
    // mark, the line separator) or pass for the host's temporary files.
    for (const char* name : {"", ".", "..", "../x", "a/b", "/", "a\\b", "\\", "a\tb", "a\rb", "a\x1b[2Jb", "a\x7f",
                             "a\xC2\x85z", "invoice\xE2\x80\xAE" "fdp.exe", "a\xE2\x80\xAA" "b", "a\xE2\x80\x8F" "b",
                             "a\xE2\x81\xA6" "b", "a\xE2\x81\xA7" "b", "a\xE2\x81\xA9", "a\xD8\x9C" "b",
                             "a\xE2\x80\xA8" "b", "a.zip.part-123-4", "x.part-"})
        EXPECT_FALSE(downloads::usableTarget("/media/hdd/", name)) << name;
}

// Only the host's temporary files (NAME.part-PID-N, regular files) written
// before the start go: they are a killed run's.
TEST(DownloadTarget, LeftoverPartsOfAnEarlierRunAreRemoved) {
    BoxRoot root;
    root.mkdirs("/media/dl/folder.part-1-1");
    const struct { const char* name; long age; bool stays; } parts[] = {
        {"b.zip.part-4-4", 3600, false},
        {"c.zip.part-5-55", -3600, true},    // written after the start
        {"g.zip.part-6-6", 0, true},         // in the very instant of the start
        {"notes.part-two.txt", 3600, true},  // a user's file
        {"d.part-1-", 3600, true},
        {"e.part--1", 3600, true},
        {"f.part-1-1x", 3600, true},
        {"readme.txt", 3600, true},
    };
    const std::timespec now{time(nullptr), 0};
    for (const auto& part : parts) {
        root.write(std::string("/media/dl/") + part.name, "partial");
        const timespec times[2] = {{now.tv_sec - part.age, 0}, {now.tv_sec - part.age, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, root.path(std::string("/media/dl/") + part.name).c_str(), times, 0), 0);
    }
    downloads::removeLeftoverParts("/media/dl/", now);
    for (const auto& part : parts) EXPECT_EQ(root.exists(std::string("/media/dl/") + part.name), part.stays) << part.name;
    EXPECT_TRUE(root.exists("/media/dl/folder.part-1-1"));  // not a regular file
}

TEST(DownloadTarget, CrLfReplyDownloadsUnderTheBareName) {
    BoxRoot root;
    LoopbackServer server;
    MessageBoxAnswerer boxes;
    root.mkdirs("/media/hdd");
    CORLANG = 1;
    CORDDIR = "/media/hdd/";
    emu::setHttpConnectTo("news.corvane.example:80:127.0.0.1:" + std::to_string(server.port()));
    server.serve("/lumennews/files/tool.tgz", "tool body");
    root.write(paths::feedFile, "tool.tgz\r\nTool\r\nanna\r\nx\r\n1 KB\r\n3\r\n");
    // The detail window on that reply, Download pressed, 20 s to end.
    eShowDownFile detail("File");
    mainloop().post([&] { detail.retrieveFile(); });
    const int bound = mainloop().addTimer(20000, [&] { detail.reject(); });
    detail.exec();
    mainloop().removeTimer(bound);
    EXPECT_EQ(root.read("/media/hdd/tool.tgz"), "tool body");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "File tool.tgz succesfully downloaded in your orbivox directory: /media/hdd/");
}
