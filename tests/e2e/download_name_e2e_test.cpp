// The plug-in as the box runs it, against a server that names its download
// after the plug-in's own files or hides what the name is: the
// unusable-name box, no download request, no file touched.
#include <gtest/gtest.h>
#include <string>
#include "settings/paths.h"
#include "tests/e2e/scene.h"

TEST(DownloadNameE2e, OwnFilesAndDisguisedNamesAreRefused) {
    const struct { const char* folder; std::string name; const char* spared; } cases[] = {
        {"/var/keys/", "corvane.cfg", paths::settingsFile},
        {"/var/tmp/", "shout.tmp", paths::shoutFile},
        {"/var/tmp/", "rss.tmp", paths::feedFile},
        {"/var/tmp/", "rss2.tmp", paths::articleFile},
        {"/media/hdd/", "readme.txt.part-x", "/media/hdd/readme.txt.part-x"},
        {"/media/hdd/", "invoice\xE2\x80\xAE" "fdp.exe", "/media/hdd/invoice\xE2\x80\xAE" "fdp.exe"},
    };
    for (const auto& [folder, name, spared] : cases) {
        SCOPED_TRACE(name);
        const std::string settings = std::string("lang=1\ndown=") + folder + "\nnick=Guest\n";
        e2e::Scene scene(settings);
        if (std::string(spared) != paths::settingsFile) scene.root.write(spared, "kept");
        scene.server.serve("/lumennews/index.php?op=outfile&idf=17", name + "\nTitle\nanna\nv1\n1 KB\n5\n");
        scene.server.serve("/lumennews/files/" + name, "from the server");
        LumenhostResult result = scene.run("1 ok wait ok wait ok wait dump ok wait exit wait exit");
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.out.find("message=\"The server sent an unusable file name.\""), std::string::npos);
        for (const auto& request : scene.server.requests())
            EXPECT_EQ(request.path.find("/lumennews/files/"), std::string::npos) << request.path;
        if (std::string(spared) == paths::settingsFile) {
            EXPECT_EQ(scene.root.read(spared), settings);
        } else if (std::string(spared) != paths::feedFile) {  // the detail reply came through it
            EXPECT_EQ(scene.root.read(spared), "kept");
        }
    }
}
