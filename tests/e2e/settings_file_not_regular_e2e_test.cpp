// lumenhost with the plug-in on a hostile box: the settings file is a FIFO
// or a link to /dev/zero, and the feed's link and description hold about
// 250 KB of bare "&" followed by an "&" escaped tens of thousands of times
// over. The plug-in starts with the defaults and lists the feed within the
// scene's wait time-out.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include "settings/lang.h"
#include "settings/paths.h"
#include "tests/e2e/scene.h"

TEST(SettingsFileNotRegular, AFifoOrDevZeroAndNestedEntitiesStillListTheFeed) {
    std::string text;  // 60000 bare "&", then one escaped 47000 times over
    for (int i = 0; i < 107001; ++i) text += i <= 60000 ? "&amp;" : "amp;";
    const std::string feed = "<rss><channel><item><title>Filler</title><link>" + text + "</link><description>" +
                             text + "</description></item></channel></rss>";
    const std::pair<const char*, int (*)(const char*)> settingsFiles[] = {
        {"FIFO", [](const char* path) { return mkfifo(path, 0600); }},
        {"link to /dev/zero", [](const char* path) { return symlink("/dev/zero", path); }},
    };
    for (const auto& [kind, make] : settingsFiles) {
        e2e::Scene scene("");
        ASSERT_EQ(make(scene.root.path(paths::settingsFile).c_str()), 0) << kind;
        scene.server.serve("/lumennews/index.php?op=outmerss", feed);
        LumenhostResult result = scene.run("2 wait dump");

        ASSERT_EQ(result.exitCode, 0) << kind << ": " << result.err;
        // English, the default language, and the one item listed.
        const std::string listTitle = LangT(texts::englishFeedTitle, 1);
        EXPECT_NE(result.out.find("modal=innermost focus=eListBox title=\"" + listTitle + "\""), std::string::npos)
            << kind << ": " << result.out;
        EXPECT_NE(result.out.find("entry key=0 current text=\"Filler\""), std::string::npos) << kind;
    }
}
