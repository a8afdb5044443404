// The requests of the community windows: what a user typed, or a name the
// server sent, stays inside its own part of the address; an empty shout is
// explained and never sent.
#include <gtest/gtest.h>
#include <string>
#include "community/eShowFile.h"
#include "community/endpoints.h"
#include "emu/http_settings.h"
#include "emu/mainloop.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/message_box_answerer.h"

TEST(Endpoints, TypedTextAndServerNamesStayInTheirPartOfTheAddress) {
    const std::string script = endpoints::baseAddress() + "/lumennews/index.php?op=";
    const std::pair<eString, std::string> cases[] = {
        {endpoints::postShout("o-w.l_~", "hi"), script + "inme&n=o-w.l_~&p=hi"},
        // Query syntax is encoded; the message's blanks, "&", "/", "?" and
        // quotes are substituted first, as the server has always stored them.
        {endpoints::postShout("a&p=x#%", "1+1=2 & 50% #tag"), script + "inme&n=a%26p%3Dx%23%25&p=1%2B1%3D2_e_50%25_%23tag"},
        {endpoints::postShout("Tom", "say \"hi\"/?\t\xC3\xA9"), script + "inme&n=Tom&p=say_hi___%C3%A9"},
        {endpoints::fileDetail(-2147483647 - 1), script + "outfile&idf=-2147483648"},
        {endpoints::article("http://x.example/a?id=7&Itemid=99999999&p=2"), "http://x.example/a?id=7&p=2"},
    };
    for (const auto& [url, expected] : cases) EXPECT_EQ(url, expected);
}

// The shout window against a loopback server, as the user's nickname "owl".
class ShoutWindow : public ::testing::Test {
protected:
    ShoutWindow() {
        emu::setHttpConnectTo("news.corvane.example:80:127.0.0.1:" + std::to_string(server.port()));
        CORLANG = 1;
        CORNICK = "owl";
    }
    ~ShoutWindow() override { emu::setHttpConnectTo(""); }
    static void waitQuiet() {
        for (int i = 0; i < 300 && mainloop().busyCount() > 0; ++i) mainloop().iterate(50);
    }

    BoxRoot root;
    LoopbackServer server;
    MessageBoxAnswerer boxes;
};

// A typed shout is sent as the shoutbox tour shows (e2e/tour_test.cpp).
TEST_F(ShoutWindow, AnEmptyShoutIsExplainedAndNeverSent) {
    server.serve("/lumennews/index.php", "end document head\n");
    eShowFile window("Shoutbox");
    waitQuiet();
    const size_t before = server.requestCount();
    window.inputField()->setText("");
    window.sendShout();
    waitQuiet();
    EXPECT_EQ(server.requestCount(), before);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].caption, "Warning");
    EXPECT_EQ(boxes.boxes()[0].text.rfind("Type your message into the textinput field", 0), 0u);
}

// While the list is on its way the window is busy: Refresh and Send Shout
// start nothing.
TEST_F(ShoutWindow, PressesWhileTheListIsComingSendNothing) {
    server.stall("/lumennews/index.php?op=outme");
    eShowFile window("Shoutbox");
    for (int i = 0; i < 100 && server.requestCount() == 0; ++i) mainloop().iterate(50);
    window.retrieveShout();
    window.inputField()->setText("hi");
    window.sendShout();
    for (int i = 0; i < 10; ++i) mainloop().iterate(50);
    EXPECT_EQ(server.requestCount(), 1u);
}
