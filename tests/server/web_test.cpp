// The web pages' safety pieces in process: the escapers, the multipart
// parser's bounds, sessions and their CSRF tokens, the login throttle,
// the password hash, cookies and the names uploads are stored under.
// Whole flows run in a browser: tests/e2e/web_browser_test.py.
#include <gtest/gtest.h>

#include "server/site.h"
#include "server/web/admin_password.h"
#include "server/web/cookies.h"
#include "server/web/escape.h"
#include "server/web/file_manager.h"
#include "server/web/multipart_form.h"
#include "server/web/operator_sessions.h"
#include "server/web/web_texts.h"

namespace {

using namespace srv;
using namespace srv::web;

TEST(WebEscape, EachContextHasItsEscaper) {
    const struct {
        std::string text, html, attribute, url;
    } cases[] = {
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;",
         "&lt;script&gt;alert(1)&lt;/script&gt;", "%3Cscript%3Ealert%281%29%3C%2Fscript%3E"},
        {"a\"b'c&d", "a&quot;b&#39;c&amp;d", "a&quot;b&#39;c&amp;d", "a%22b%27c%26d"},
        {"line\nbreak\ttab", "line\nbreak\ttab", "line&#10;break&#9;tab", "line%0Abreak%09tab"},
        {"x.tar.gz ~_-", "x.tar.gz ~_-", "x.tar.gz ~_-", "x.tar.gz%20~_-"},
        {"Krähe/..", "Krähe/..", "Krähe/..", "Kr%C3%A4he%2F.."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeHtml(c.text), c.html) << c.text;
        EXPECT_EQ(escapeAttribute(c.text), c.attribute) << c.text;
        EXPECT_EQ(escapeUrlComponent(c.text), c.url) << c.text;
    }
}

TEST(WebEscape, StoredHtmlBecomesTextAsABoxShowsIt) {
    const struct {
        const char* html;
        const char* plain;
    } cases[] = {
        {"Kr&amp;auml;henfeld &ndash; HD", "Kr\xC3\xA4henfeld - HD"},  // decoded row by row, as on a box
        {"one</p>\ntwo<br>three", "one\n\ntwo\nthree"},
        {"a<script>alert('x')</script>b<style>p{}</style>c", "abc"},
        {"<SCRIPT src=x>never</SCRIPT >shown", "shown"},
        {"&lt;script&gt;", "<script>"},  // text again: escaped where it goes
        {"unfinished <tag", "unfinished "},
    };
    for (const auto& c : cases) EXPECT_EQ(plainTextOf(c.html), c.plain) << c.html;
}

// The parts between "XyZ" boundaries.
std::string multipartBody(const std::vector<std::string>& parts) {
    std::string body;
    for (const std::string& p : parts) body += "--XyZ\r\n" + p + "\r\n";
    return body + "--XyZ--\r\n";
}

TEST(WebMultipart, ReadsFieldsAndFilesWithinBounds) {
    const std::string bytes("\x00\r\n--Xy binary\xff", 15);  // a NUL, and what looks almost like a boundary
    std::string body = multipartBody({
        "Content-Disposition: form-data; name=\"csrf\"\r\n\r\ntoken",
        "Content-Disposition: form-data; name=\"file\"; filename=\"../../etc/passwd\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n" + bytes,
    });
    MultipartForm form;
    ASSERT_EQ(form.parse("multipart/form-data; boundary=XyZ", body, MultipartLimits{}), MultipartError::None);
    EXPECT_EQ(form.field("csrf"), "token");
    const FormPart* file = form.file("file");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->fileName, "../../etc/passwd");  // data only: never used as a path
    EXPECT_EQ(file->data, bytes);
    EXPECT_EQ(form.file("csrf"), nullptr);
}

TEST(WebMultipart, RefusesWhatIsOutOfBoundsOrMalformed) {
    MultipartLimits small;
    small.maxParts = 2;
    small.maxFieldBytes = 8;
    small.maxFileBytes = 16;
    small.maxHeadBytes = 100;
    const std::string field = "Content-Disposition: form-data; name=\"a\"\r\n\r\n";
    const std::string file = "Content-Disposition: form-data; name=\"f\"; filename=\"x\"\r\n\r\n";
    const std::string xyz = "multipart/form-data; boundary=XyZ";
    const struct {
        const char* what;
        std::string contentType, body;
        MultipartError expected;
    } cases[] = {
        {"not multipart", "application/x-www-form-urlencoded", "a=b", MultipartError::NotMultipart},
        {"boundary past 70", "multipart/form-data; boundary=" + std::string(71, 'b'), "", MultipartError::NotMultipart},
        {"three parts", xyz, multipartBody({field + "1", field + "2", field + "3"}), MultipartError::TooManyParts},
        {"field too large", xyz, multipartBody({field + "123456789"}), MultipartError::FieldTooLarge},
        {"file too large", xyz, multipartBody({file + std::string(17, 'z')}), MultipartError::FileTooLarge},
        {"file at the cap", xyz, multipartBody({file + std::string(16, 'z')}), MultipartError::None},
        {"head too large", xyz, multipartBody({"X-Pad: " + std::string(200, 'p') + "\r\n" + field + "1"}),
         MultipartError::Malformed},
        {"no closing delimiter", xyz, "--XyZ\r\n" + field + "1", MultipartError::Malformed},
        {"part without a name", xyz, multipartBody({"Content-Disposition: form-data\r\n\r\nv"}),
         MultipartError::Malformed},
        {"quoted boundary", "multipart/form-data; boundary=\"XyZ\"", multipartBody({field + "1"}), MultipartError::None},
    };
    for (const auto& c : cases) {
        MultipartForm form;
        EXPECT_EQ(form.parse(c.contentType, c.body, small), c.expected) << c.what;
        if (c.expected != MultipartError::None) {
            EXPECT_EQ(form.field("a"), "") << c.what;
        }
    }
}

TEST(WebSessions, TokensLiveUntilExpiry) {
    OperatorSessions sessions;
    auto t0 = OperatorSessions::Clock::now();
    std::string token = sessions.open(t0);
    auto csrf = sessions.csrfOf(token, t0);
    ASSERT_TRUE(csrf);
    EXPECT_NE(*csrf, token);
    EXPECT_FALSE(sessions.csrfOf(token.substr(0, 63) + (token[63] == '0' ? "1" : "0"), t0));
    // Activity keeps it alive; a long pause ends it.
    EXPECT_TRUE(sessions.csrfOf(token, t0 + std::chrono::minutes(29)));
    EXPECT_TRUE(sessions.csrfOf(token, t0 + std::chrono::minutes(58)));
    EXPECT_FALSE(sessions.csrfOf(token, t0 + std::chrono::minutes(89)));
    // However active, a session ends after its age limit.
    std::string busy = sessions.open(t0);
    for (auto t = t0; t < t0 + OperatorSessions::ageLimit; t += std::chrono::minutes(20)) sessions.csrfOf(busy, t);
    EXPECT_FALSE(sessions.csrfOf(busy, t0 + OperatorSessions::ageLimit + std::chrono::minutes(1)));
    EXPECT_TRUE(sameToken(token, token));
    EXPECT_FALSE(sameToken(token, ""));
    EXPECT_FALSE(sameToken("", ""));
}

TEST(WebSessions, FailedLoginsWaitLongerAndLonger) {
    LoginThrottle throttle;
    auto t = LoginThrottle::Clock::now();
    for (int i = 0; i <= LoginThrottle::freeFailures; ++i) {  // the free ones, and one more
        EXPECT_TRUE(throttle.mayTry("10.0.0.1", t)) << i;
        throttle.failed("10.0.0.1", t);
    }
    EXPECT_FALSE(throttle.mayTry("10.0.0.1", t + std::chrono::seconds(1)));
    EXPECT_TRUE(throttle.mayTry("10.0.0.1", t + std::chrono::seconds(2)));
    t += std::chrono::seconds(2);
    throttle.failed("10.0.0.1", t);
    EXPECT_FALSE(throttle.mayTry("10.0.0.1", t + std::chrono::seconds(3)));
    EXPECT_TRUE(throttle.mayTry("10.0.0.1", t + std::chrono::seconds(4)));
    throttle.succeeded("10.0.0.1");
    EXPECT_TRUE(throttle.mayTry("10.0.0.1", t));
}

TEST(WebPassword, HashVerifiesOnlyItsPassword) {
    std::string hash = hashPassword("correct horse");
    EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u);
    EXPECT_TRUE(verifyPassword(hash, "correct horse"));
    EXPECT_FALSE(verifyPassword(hash, "correct hors"));
    EXPECT_FALSE(verifyPassword("", ""));
    EXPECT_NE(hashPassword("correct horse"), hash);  // salted
}

TEST(WebRequest, CookiesLanguageAndHttpsFromTheProxyOnly) {
    Request r;
    r.address = "127.0.0.1";
    r.headers = {{"cookie", "a=1; lumen_session = abc ;lang=it"}, {"accept-language", "de-DE,fr;q=0.8,en;q=0.5"},
                 {"x-forwarded-proto", "https"}};
    EXPECT_EQ(cookieValue(r, "lumen_session"), "abc");
    EXPECT_EQ(cookieValue(r, "missing"), "");
    EXPECT_EQ(pageLanguage(r), Lang::It);  // the cookie before the header
    r.query = Query("lang=fr");
    EXPECT_EQ(pageLanguage(r), Lang::Fr);
    r.query = Query();
    r.headers[0].second = "";
    EXPECT_EQ(pageLanguage(r), Lang::Fr);  // the first language spoken here
    EXPECT_NE(setCookie(r, "s", "v").find("; Secure"), std::string::npos);
    r.address = "203.0.113.9";  // anyone else saying https is not believed
    EXPECT_EQ(setCookie(r, "s", "v").find("Secure"), std::string::npos);
    EXPECT_NE(setCookie(r, "s", "v").find("HttpOnly; SameSite=Strict"), std::string::npos);
}

TEST(WebUpload, StoredNamesAreTheServersOwn) {
    const struct {
        const char* category;
        const char* typed;
        const char* stored;
    } cases[] = {
        {"Plugins", "weather.tar.gz", "plugins-20250304-0a1b2c3d.tar.gz"},
        {"Skins", "../../etc/passwd", "skins-20250304-0a1b2c3d"},
        {"Keys", "keys.IPK", "keys-20250304-0a1b2c3d.ipk"},
        {"Cam", "x.<script>", "cam-20250304-0a1b2c3d"},
        {"Cam", ".hidden", "cam-20250304-0a1b2c3d"},
        {"Script", "a b.sh\n", "script-20250304-0a1b2c3d"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(storedFileName(c.category, c.typed, "2025-03-04", "0a1b2c3d"), c.stored) << c.typed;
}

}  // namespace
