// The statistics window against a loopback community server.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "community/rssStat.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "tests/community/window_test_support.h"

using namespace communitytest;

namespace {
class StatisticsWindow : public WindowTest {
protected:
    void TearDown() override {
        window.reset();
        WindowTest::TearDown();
    }
    void installLogo() { root.copyFixture(std::string(LUMEN_ASSETS_RELATIVE) + "/LumenNews.png", paths::logo); }
    bool arrived() const { return window->textLabel()->getText() != LangT(23, CORLANG); }

    std::unique_ptr<rssStat> window;
};
}  // namespace

TEST_F(StatisticsWindow, ShowsTheNineLabelledValuesUnderTheLogo) {
    installLogo();
    server.serve(script, fixture("stat_nine_lines.txt"));
    window = std::make_unique<rssStat>();
    EXPECT_EQ(window->getText(), "Orbivox Daily News Statistics");
    EXPECT_EQ(window->textLabel()->getText(), LangT(23, 1));
    ASSERT_TRUE(runUntil([&] { return arrived(); }));

    // The layout itself is the reader's (text_replies_test).
    EXPECT_EQ(window->textLabel()->getText().rfind("Total connections to Lumen News:\t1523\n", 0), 0u);
    EXPECT_EQ(targets(), std::vector<std::string>{"/lumennews/index.php?op=outmestats2"});
    EXPECT_TRUE(boxes.boxes().empty());
    ASSERT_TRUE(window->logo()->getPixmap());
    EXPECT_EQ(window->logo()->getSize(), eSize(520, 125));
    EXPECT_FALSE(root.exists(paths::shoutFile));
}

TEST_F(StatisticsWindow, MissingLogoIsReportedAndTheStatisticsStillCome) {
    server.serve(script, "5\n");
    window = std::make_unique<rssStat>();
    ASSERT_FALSE(boxes.boxes().empty());
    EXPECT_EQ(boxes.boxes()[0].text, "Error loading logo");
    EXPECT_EQ(boxes.boxes()[0].caption, "Error");
    EXPECT_EQ(boxes.boxes()[0].flags, 0x21);
    EXPECT_FALSE(window->logo()->getPixmap());
    ASSERT_TRUE(runUntil([&] { return arrived(); }));
    EXPECT_EQ(window->textLabel()->getText(), "Total connections to Lumen News:\t5");
}

TEST_F(StatisticsWindow, OkButtonClosesTheWindow) {
    installLogo();
    server.serve(script, "5\n");
    window = std::make_unique<rssStat>();
    ASSERT_TRUE(runUntil([&] { return arrived(); }));
    auto* ok = dynamic_cast<eButton*>(window->getFocus());
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->getText(), "OK");
    mainloop().post([ok] { ok->selected(); });
    EXPECT_EQ(window->exec(), 0);
}
