// The shoutbox window against a loopback community server.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "community/eShowFile.h"
#include "settings/lang.h"
#include "tests/community/window_test_support.h"

using namespace communitytest;

namespace {
// `rows` shouts after the marker.
std::string shoutReply(int rows) {
    std::string reply = "<head>\n<!-- end document head -->\n";
    for (int i = 0; i < rows; ++i)
        reply += "<td>12:" + std::to_string(10 + i % 50) + "</td>\n<td>user" + std::to_string(i) +
                 "</td>\n<td>message number " + std::to_string(i) + "</td>\n<td>03/04</td>\n";
    return reply;
}

class ShoutboxWindow : public WindowTest {
protected:
    void open(int rows = 2) {
        server.serve(script, shoutReply(rows));
        window = std::make_unique<eShowFile>("Shouts");
        ASSERT_TRUE(runUntil([&] { return listShown(); })) << window->textLabel()->getText();
    }
    bool listShown() const { return window->textLabel()->getText().find("SHOUTER") != std::string::npos; }
    void TearDown() override {
        window.reset();
        WindowTest::TearDown();
    }
    int labelY() const { return window->textLabel()->getPosition().y; }
    void type(const std::string& text) { window->inputField()->setText(text); }

    std::unique_ptr<eShowFile> window;
};
}  // namespace

TEST_F(ShoutboxWindow, OpensWaitingThenShowsTheShoutsInColumns) {
    server.stall(script);
    window = std::make_unique<eShowFile>("Welcome");
    EXPECT_EQ(window->getText(), "Welcome");
    EXPECT_EQ(window->textLabel()->getText(), LangT(23, 1));
    window.reset();

    open(2);
    const std::string text = window->textLabel()->getText();
    EXPECT_NE(text.find("12:10   user0  ->  message number 0             03/04\n"
                        "12:11   user1  ->  message number 1             03/04\n"),
              std::string::npos)
        << text;
    ASSERT_FALSE(targets().empty());
    EXPECT_EQ(targets().back(), "/lumennews/index.php?op=outme");
    EXPECT_FALSE(root.exists("/var/tmp/shout.tmp"));
}

TEST_F(ShoutboxWindow, SendingPostsTheShoutThenRefreshesAndBothClearTheInput) {
    open();
    type("hello world & more");
    window->sendShout();
    ASSERT_TRUE(runUntil([&] { return targets().size() == 3 && quiet() && listShown(); }));
    EXPECT_EQ(targets()[1], "/lumennews/index.php?op=inme&n=Guest&p=hello_world_e_more");
    EXPECT_EQ(targets()[2], "/lumennews/index.php?op=outme");
    EXPECT_EQ(window->inputField()->getText(), "");
    EXPECT_TRUE(boxes.boxes().empty());
    type("half typed");
    window->retrieveShout();
    ASSERT_TRUE(runUntil([&] { return targets().size() == 4 && quiet() && listShown(); }));
    EXPECT_EQ(window->inputField()->getText(), "");
}

TEST_F(ShoutboxWindow, EmptyInputIsExplainedEvenWhileARequestRuns) {
    server.stall(script);
    window = std::make_unique<eShowFile>("Shouts");
    ASSERT_TRUE(runUntil([&] { return targets().size() == 1; }));
    window->sendShout();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, LangT(36, 1));
    EXPECT_EQ(boxes.boxes()[0].caption, "Warning");
    EXPECT_EQ(boxes.boxes()[0].flags, 0x21);

    // Busy: neither a post nor a refresh goes out.
    type("x");
    window->sendShout();
    window->retrieveShout();
    runUntil([] { return false; }, 1);
    EXPECT_EQ(targets().size(), 1u);
    EXPECT_EQ(boxes.boxes().size(), 1u);
}

TEST_F(ShoutboxWindow, BlanksAreAMessage) {
    open();
    type("  ");
    window->sendShout();
    ASSERT_TRUE(runUntil([&] { return targets().size() == 3 && quiet(); }));
    EXPECT_EQ(targets()[1], "/lumennews/index.php?op=inme&n=Guest&p=__");
}

TEST_F(ShoutboxWindow, AFailedListLeavesTheWindowWaiting) {
    server.serve(script, "gone", 500);
    window = std::make_unique<eShowFile>("Shouts");
    ASSERT_TRUE(runUntil([&] { return !boxes.boxes().empty() && quiet(); }));
    EXPECT_EQ(boxes.boxes()[0].caption, "User Abort");
    EXPECT_EQ(window->textLabel()->getText(), LangT(23, 1));
    window->retrieveShout();
    runUntil([] { return false; }, 1);
    EXPECT_EQ(targets().size(), 1u);
}

TEST_F(ShoutboxWindow, ShortListLeavesUpAndDownToTheWindow) {
    open(2);
    EXPECT_EQ(window->scrollRange(), 0);
    eWidget* before = window->getFocus();
    window->eventHandler(action(i_cursorActions->down));
    EXPECT_NE(window->getFocus(), before) << "down should have moved the focus";
    EXPECT_EQ(labelY(), 0);
}

TEST_F(ShoutboxWindow, LongListScrollsByPagesAndIsHeldAtBothEnds) {
    open(60);
    int range = window->scrollRange();
    ASSERT_GT(range, 0);
    eWidget* focus = window->getFocus();

    EXPECT_EQ(window->eventHandler(action(i_cursorActions->up)), 1);
    EXPECT_EQ(labelY(), 0);
    EXPECT_EQ(window->eventHandler(action(i_cursorActions->down)), 1);
    int page = -labelY();
    EXPECT_GT(page, 0);
    for (int i = 0; i < 100; ++i) window->eventHandler(action(i_cursorActions->down));
    EXPECT_EQ(labelY(), -(range - page));  // the last page, not beyond
    EXPECT_EQ(window->eventHandler(action(i_cursorActions->down)), 1);
    EXPECT_EQ(labelY(), -(range - page));
    window->eventHandler(action(i_cursorActions->up));
    EXPECT_EQ(labelY(), -(range - 2 * page));
    EXPECT_EQ(window->getFocus(), focus);

    // A refresh starts at the top again.
    window->retrieveShout();
    EXPECT_EQ(labelY(), 0);
}

TEST_F(ShoutboxWindow, CancelClosesWithZero) {
    open();
    int result = -5;
    mainloop().post([&] { window->eventHandler(action(i_cursorActions->cancel)); });
    result = window->exec();
    EXPECT_EQ(result, 0);
}
