// The operator's page through the site, in process: a login gives a
// session whose token every form must carry, logout ends it, failed
// logins slow down, and a visitor's post needs its form's token.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "server/site.h"
#include "server/store.h"
#include "server/web/admin_password.h"
#include "tests/server/server_test_support.h"

namespace {

using namespace srv;
using testing::Contains;
using testing::HasSubstr;
using testing::Pair;

class WebSiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = Store::create(folder / "c.db");
        store->setSetting(web::passwordSetting, web::hashPassword(password));
        SiteSettings settings;
        settings.filesDir = folder / "files";
        settings.shoutInterval = std::chrono::milliseconds(0);
        site = std::make_unique<Site>(*store, settings);
    }

    Reply ask(const std::string& method, const std::string& path, const std::string& cookies = "",
              const std::string& body = "", const std::string& address = "192.0.2.7") {
        Request r;
        r.method = method;
        r.path = path;
        r.address = address;
        r.body = body;
        r.headers = {{"cookie", cookies}, {"content-type", "application/x-www-form-urlencoded"}};
        return site->answer(r);
    }
    // NAME=VALUE of a Set-Cookie header of the reply.
    static std::string cookie(const Reply& reply, const std::string& name) {
        for (const Header& h : reply.headers)
            if (h.first == "Set-Cookie" && h.second.rfind(name + "=", 0) == 0) return h.second.substr(0, h.second.find(';'));
        return "";
    }
    static std::string field(const Reply& reply, const std::string& name) {
        std::smatch m;
        std::regex pattern("name=\"" + name + "\" value=\"([0-9a-f]+)\"");
        return std::regex_search(*reply.body, m, pattern) ? m[1].str() : "";
    }
    // The session cookie of a successful login.
    std::string logIn(const std::string& address = "192.0.2.7") {
        Reply page = ask("GET", "/admin/login", "", "", address);
        std::string form = cookie(page, "lumen_form");
        Reply done = ask("POST", "/admin/login", form, "token=" + field(page, "token") + "&password=" + password, address);
        EXPECT_EQ(done.status, 303);
        return cookie(done, "lumen_session");
    }

    const std::string password = "right-password";
    TempFolder folder;
    std::unique_ptr<Store> store;
    std::unique_ptr<Site> site;
};

TEST_F(WebSiteTest, FormsNeedTheSessionsTokenAndLogoutEndsTheSession) {
    std::string session = logIn();
    ASSERT_FALSE(session.empty());
    Reply shouts = ask("GET", "/admin/shouts", session);
    ASSERT_EQ(shouts.status, 200);
    EXPECT_THAT(shouts.headers, Contains(Pair("Content-Security-Policy", HasSubstr("default-src 'none'"))));
    std::string csrf = field(shouts, "csrf");
    ASSERT_EQ(csrf.size(), 64u);

    EXPECT_EQ(ask("POST", "/admin/shouts/ban", session, "nick=Forged").status, 403);
    EXPECT_EQ(ask("POST", "/admin/shouts/ban", session, "nick=Forged&csrf=" + std::string(64, 'a')).status, 403);
    EXPECT_TRUE(store->bans().empty());
    EXPECT_EQ(ask("POST", "/admin/shouts/ban", session, "nick=Real&csrf=" + csrf).status, 303);
    EXPECT_EQ(store->bans(), std::vector<std::string>{"real"});
    EXPECT_EQ(store->operatorLog(1).at(0).action, "banned Real");
    EXPECT_EQ(store->operatorLog(1).at(0).address, "192.0.2.7");

    EXPECT_EQ(ask("POST", "/admin/logout", session, "csrf=" + csrf).status, 303);
    Reply replayed = ask("GET", "/admin/shouts", session);
    EXPECT_EQ(replayed.status, 303);
    EXPECT_THAT(replayed.headers, Contains(Pair("Location", "/admin/login")));
    EXPECT_EQ(ask("POST", "/admin/shouts/unban", session, "nick=Real&csrf=" + csrf).status, 403);
    EXPECT_EQ(store->bans().size(), 1u);
}

TEST_F(WebSiteTest, FailedLoginsFromOneAddressAreSlowedDown) {
    Reply page = ask("GET", "/admin/login");
    std::string form = cookie(page, "lumen_form"), token = field(page, "token");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ask("POST", "/admin/login", form, "token=" + token + "&password=wrong").status, 403);
    // Now even the right password must wait; another address need not.
    EXPECT_EQ(ask("POST", "/admin/login", form, "token=" + token + "&password=" + password).status, 429);
    EXPECT_FALSE(logIn("198.51.100.1").empty());
    // A login form without its token is refused before the password is looked at.
    EXPECT_EQ(ask("POST", "/admin/login", "", "password=" + password, "203.0.113.5").status, 403);
}

TEST_F(WebSiteTest, AVisitorsPostNeedsItsFormsTokenAndMeetsTheBoxRules) {
    Reply page = ask("GET", "/shouts");
    std::string form = cookie(page, "lumen_form"), token = field(page, "token");
    ASSERT_FALSE(form.empty());
    size_t before = store->latestShouts(100).size();
    EXPECT_EQ(ask("POST", "/shouts", "", "nick=Bot&message=no+token").status, 403);
    EXPECT_EQ(ask("POST", "/shouts", form, "token=" + token + "&nick=" + std::string(16, 'n') + "&message=hi").status, 422);
    EXPECT_EQ(store->latestShouts(100).size(), before);
    Reply stored = ask("POST", "/shouts", form, "token=" + token + "&nick=Ann&message=hello+boxes");
    EXPECT_EQ(stored.status, 303);
    EXPECT_EQ(store->latestShouts(1).at(0).message, "hello boxes");
}

}  // namespace
