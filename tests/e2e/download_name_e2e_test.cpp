// The plug-in as the box runs it, against a server that names its download
// after the settings file: the unusable-name box, no download request, the
// file untouched. Which names are unusable is the guard's own test
// (community/download_target_test.cpp); every one takes this way.
#include <gtest/gtest.h>
#include <string>
#include "settings/paths.h"
#include "tests/e2e/scene.h"

TEST(DownloadNameE2e, ANameThatIsThePluginsOwnFileIsRefused) {
    const std::string settings = "lang=1\ndown=/var/keys/\nnick=Guest\n";
    e2e::Scene scene(settings);
    scene.server.serve("/lumennews/index.php?op=outfile&idf=17", "corvane.cfg\nTitle\nanna\nv1\n1 KB\n5\n");
    scene.server.serve("/lumennews/files/corvane.cfg", "from the server");
    LumenhostResult result = scene.run("1 ok wait ok wait ok wait dump ok wait exit wait exit");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("message=\"The server sent an unusable file name.\""), std::string::npos);
    for (const auto& request : scene.server.requests())
        EXPECT_EQ(request.path.find("/lumennews/files/"), std::string::npos) << request.path;
    EXPECT_EQ(scene.root.read(paths::settingsFile), settings);
}
