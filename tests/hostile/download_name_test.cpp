// A file-detail reply whose lines end in CR LF: the name loses the CR with
// the line feed, and the download goes through under that name.
#include <gtest/gtest.h>
#include <string>
#include "community/eShowDownFile.h"
#include "emu/http_settings.h"
#include "emu/mainloop.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/message_box_answerer.h"

TEST(HostileDownloadName, CrLfReplyDownloadsUnderTheBareName) {
    BoxRoot root;
    LoopbackServer server;
    MessageBoxAnswerer boxes;
    root.mkdirs("/media/hdd");
    CORLANG = 1;
    CORDDIR = "/media/hdd/";
    emu::setHttpConnectTo("news.corvane.example:80:127.0.0.1:" + std::to_string(server.port()));
    server.serve("/lumennews/files/tool.tgz", "tool body");
    root.write(paths::feedFile, "tool.tgz\r\nTool\r\nanna\r\nx\r\n1 KB\r\n3\r\n");

    eShowDownFile detail("Tool");
    mainloop().post([&] { detail.retrieveFile(); });
    // A refused name leaves the window open: close it after a while.
    int bound = mainloop().addTimer(20000, [&] { detail.reject(); });
    detail.exec();
    mainloop().removeTimer(bound);

    EXPECT_EQ(root.read("/media/hdd/tool.tgz"), "tool body");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "File tool.tgz succesfully downloaded in your orbivox directory: /media/hdd/");
}
