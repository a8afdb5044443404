#include "tests/faults/fault_scene.h"
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include "settings/paths.h"
#include "tests/faults/fault_cases.h"
#include "tests/support/dump_match.h"

namespace fs = std::filesystem;

namespace faults {

namespace {
// Generous: lumenhost's own wait time-out ends a hang long before.
constexpr int kRunSeconds = 120;
constexpr const char* kWaitSeconds = "40";
}  // namespace

FaultScene::FaultScene() {
    root.copyFixture(std::string(LUMEN_ASSETS_RELATIVE) + "/LumenNews.png", paths::logo);
    root.copyFixture(std::string(LUMEN_ASSETS_RELATIVE) + "/LumenNews2.png", paths::aboutLogo);
    root.write(paths::settingsFile, settings);
    root.mkdirs(kDownloadDir);
    root.write(downloadPath(), oldDownload);
}

LumenhostResult FaultScene::run(const std::string& keys, const std::string& connectTo,
                                std::vector<std::string> extra) const {
    LumenhostRun run;
    run.root = root.dir();
    run.keys = keys;
    run.connectTo = connectTo;
    run.timeoutSeconds = kRunSeconds;
    run.extra = {"--wait-timeout", kWaitSeconds};
    run.extra.insert(run.extra.end(), extra.begin(), extra.end());
    return runLumenhost(run);
}

std::string FaultScene::downloadPath() const { return std::string(kDownloadDir) + kDownloadName; }

std::vector<std::string> FaultScene::filesIn(const std::string& boxDir) const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root.path(boxDir), error))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> FaultScene::partFiles() const {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(root.dir(), error))
        if (entry.path().filename().string().find(".part") != std::string::npos)
            found.push_back(entry.path().string());
    return found;
}

void expectBox(const std::string& dump, const std::string& message, const std::string& caption,
               const std::string& flags) {
    dumpmatch::Block box = dumpmatch::innermost(dump);
    ASSERT_FALSE(box.empty()) << dump;
    EXPECT_EQ(box.front()["message"], message) << dump;
    EXPECT_EQ(box.front()["title"], caption);
    if (!flags.empty()) {
        EXPECT_EQ(box.front()["flags"], flags);
    }
}

}  // namespace faults
