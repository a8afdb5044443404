// lumenhost with the plug-in on a hostile box: the settings file is a FIFO
// or a link to /dev/zero, and the feed's link and description hold about
// 250 KB of bare "&" followed by an "&" escaped tens of thousands of times
// over. The plug-in starts with the defaults and lists the feed within the
// runner's ordinary wait time-out.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include "settings/lang.h"
#include "settings/paths.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/lumenhost_run.h"

TEST(SettingsFileNotRegular, AFifoOrDevZeroAndNestedEntitiesStillListTheFeed) {
    std::string text;  // 60000 bare "&", then one escaped 47000 times over
    for (int i = 0; i < 107001; ++i) text += i <= 60000 ? "&amp;" : "amp;";
    LoopbackServer server;
    server.serve("/lumennews/index.php", "<rss><channel><item><title>Filler</title><link>" + text +
                                             "</link><description>" + text + "</description></item></channel></rss>");
    const std::pair<const char*, int (*)(const char*)> settingsFiles[] = {
        {"FIFO", [](const char* path) { return mkfifo(path, 0600); }},
        {"link to /dev/zero", [](const char* path) { return symlink("/dev/zero", path); }},
    };
    for (const auto& [kind, make] : settingsFiles) {
        BoxRoot root;
        root.installLogos();
        ASSERT_EQ(make(root.path(paths::settingsFile).c_str()), 0) << kind;
        LumenhostRun run;
        run.root = root.dir();
        run.keys = "2 wait dump";
        run.connectTo = "news.corvane.example:80:127.0.0.1:" + std::to_string(server.port());
        LumenhostResult result = runLumenhost(run);

        ASSERT_EQ(result.exitCode, 0) << kind << ": " << result.err;
        // English, the default language, and the one item listed.
        EXPECT_NE(result.out.find("modal=innermost focus=eListBox title=\"" + std::string(LangT(texts::englishFeedTitle, 1)) + "\""),
                  std::string::npos) << kind << ": " << result.out;
        EXPECT_NE(result.out.find("entry key=0 current text=\"Filler\""), std::string::npos) << kind;
    }
}
