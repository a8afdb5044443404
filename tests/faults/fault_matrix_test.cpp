// Every request of the plug-in against every fault of the server or the
// network, end to end: lumenhost with a scripted remote against the demo
// server's fault switches. Whatever the fault, the plug-in shows a box or
// the reader's own result, the window ends in its waiting or mended state,
// the run ends, no partial file is left and no kept file changes.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>
#include "settings/lang.h"
#include "settings/paths.h"
#include "tests/faults/closing_proxy.h"
#include "tests/faults/fault_cases.h"
#include "tests/faults/fault_scene.h"
#include "tests/support/demo_server.h"
#include "tests/support/dump_match.h"

using namespace faults;
using dumpmatch::Block;
using dumpmatch::Line;

namespace {

// A run's peak memory must stay far below this, whatever the reply.
constexpr long kMaxRssKb = 64 * 1024;

std::string title(const Block& window) { return window.empty() ? "" : window.front()["title"]; }

// The wrapped text label of a window: the one with label flags 1.
Line textLabel(const Block& window) {
    for (const Line& line : dumpmatch::all(window, "eLabel"))
        if (line["flags"] == "1") return line;
    return Line();
}

// Junk shows as text of at most the reader's 64 KiB and its labels; an
// empty body as no text.
void expectBoundedText(const Line& label, bool junk, size_t labels) {
    ASSERT_TRUE(label);
    if (junk) {
        EXPECT_GT(label.text().size(), 0u);
        EXPECT_LE(label.text().size(), 65536u + labels);
    } else {
        EXPECT_EQ(label.text(), "");
    }
}

std::string errorText(Fault fault) { return "Error " + std::to_string(expectedCode(fault)); }

// The title of the window that sends `request`.
std::string requestingWindow(Request request) {
    switch (request) {
    case Request::EnglishFeed:
    case Request::ItalianFeed: return LangT(15, 1);
    case Request::Article: return "";  // the detail window has no title while it waits
    case Request::ShoutList:
    case Request::ShoutPost: return LangT(26, 1);
    case Request::Statistics: return LangT(38, 1);
    case Request::CategoryList: return LangT(39, 1);
    case Request::FileDetail: return kFirstCategory;
    case Request::FileDownload: return kDetailTitle;
    }
    return "?";
}

// After the fetcher's box: the waiting state of the window, or its mended
// state where it has one.
void expectStateAfterFailure(Request request, const std::string& dump) {
    Block window = dumpmatch::innermost(dump);
    ASSERT_EQ(title(window), requestingWindow(request)) << dump;
    switch (request) {
    case Request::EnglishFeed:
    case Request::ItalianFeed:
        // The menu recovers: no waiting text (a second try is checked too).
        EXPECT_FALSE(dumpmatch::find(window, "eLabel", LangT(23, 1))) << dump;
        break;
    case Request::Article: EXPECT_EQ(textLabel(window).text(), LangT(29, 1)); break;
    case Request::ShoutList:
    case Request::Statistics: EXPECT_EQ(textLabel(window).text(), LangT(23, 1)); break;
    case Request::ShoutPost:
        EXPECT_EQ(textLabel(window).text().rfind(LangT(4, 1), 0), 0u) << "the list stays";
        EXPECT_EQ(dumpmatch::find(window, "eTextInputField").text(), "hello");
        break;
    case Request::CategoryList:
    case Request::FileDetail: EXPECT_TRUE(dumpmatch::find(window, "eLabel", LangT(23, 1))) << dump; break;
    case Request::FileDownload:
        // The details come back, so the user can try again.
        EXPECT_EQ(textLabel(window).text().rfind(LangT(1, 1), 0), 0u) << dump;
        break;
    }
}

// What the reader makes of a body that arrived whole: empty, or junk.
void expectReaderResult(Request request, Fault fault, const std::vector<std::string>& dumps) {
    ASSERT_GE(dumps.size(), 2u);
    const bool junk = fault == Fault::Junk;
    Block window = dumpmatch::innermost(dumps[0]);
    switch (request) {
    case Request::EnglishFeed:
    case Request::ItalianFeed: {
        expectBox(dumps[0], "XML parse error (general xml)", "Error", "0x21");
        Block list = dumpmatch::innermost(dumps[1]);
        EXPECT_EQ(title(list), LangT(request == Request::EnglishFeed ? 24 : 25, 1)) << dumps[1];
        EXPECT_EQ(dumpmatch::find(list, "eListBox")["count"], "0");
        break;
    }
    case Request::Article:
        ASSERT_EQ(title(window), LangT(28, 1)) << dumps[0];
        expectBoundedText(textLabel(window), junk, 200);
        break;
    case Request::ShoutList: {
        ASSERT_EQ(title(window), LangT(26, 1)) << dumps[0];
        // No marker line: the header alone.
        std::string text = textLabel(window).text();
        EXPECT_EQ(text.rfind(LangT(4, 1), 0), 0u) << text;
        EXPECT_EQ(text.substr(text.size() - 114), std::string(113, '-') + "\n");
        break;
    }
    case Request::ShoutPost:
        // The post's reply is never read; the list that follows is shown.
        ASSERT_EQ(title(window), LangT(26, 1)) << dumps[0];
        EXPECT_NE(textLabel(window).text().find("->"), std::string::npos) << dumps[0];
        EXPECT_EQ(dumpmatch::find(window, "eTextInputField").text(), "");
        break;
    case Request::Statistics:
        ASSERT_EQ(title(window), LangT(38, 1)) << dumps[0];
        expectBoundedText(textLabel(window), junk, 1000);
        break;
    case Request::CategoryList: {
        ASSERT_EQ(title(window), kFirstCategory) << dumps[0];
        int count = std::stoi(dumpmatch::find(window, "eListBox")["count"]);
        if (junk) {
            EXPECT_GT(count, 0);
            EXPECT_LE(count, 5000);
        } else {
            EXPECT_EQ(count, 0);
        }
        break;
    }
    case Request::FileDetail:
        ASSERT_EQ(title(window), kDetailTitle) << dumps[0];
        expectBoundedText(textLabel(window), junk, 1000);
        // Neither body gives a name that may become a file.
        expectBox(dumps[1], "The server sent an unusable file name.", "Warning", "0x21");
        break;
    case Request::FileDownload:
        expectBox(dumps[0], LangT(45, 1) + kDownloadName + LangT(46, 1) + kDownloadDir, LangT(47, 1), "0x11");
        EXPECT_EQ(title(dumpmatch::innermost(dumps[1])), kFirstCategory) << dumps[1];
        break;
    }
}

bool isFeed(Request request) { return request == Request::EnglishFeed || request == Request::ItalianFeed; }

std::string keysFor(Request request, Fault fault) {
    std::string keys = spec(request).keys + std::string(" wait dump");
    // Past a box (the fetcher's or the reader's) to the state behind it.
    if (failsTransfer(fault) || isFeed(request) || request == Request::FileDetail ||
        request == Request::FileDownload)
        keys += " ok wait dump";
    // A second try shows that the menu left its busy state.
    if (failsTransfer(fault) && isFeed(request)) keys += " " + keys;
    return keys;
}

// Temporary files that may stay: the feed parser keeps its file.
std::vector<std::string> expectedTemporaries(Request request, Fault fault) {
    bool feedParsed = request == Request::Article || (!failsTransfer(fault) && isFeed(request));
    return feedParsed ? std::vector<std::string>{"rss.tmp"} : std::vector<std::string>{};
}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<Request, Fault>> {};

}  // namespace

TEST_P(FaultMatrix, ShowsItsBoxEndsInAKnownStateAndLeavesTheFilesAlone) {
    const auto [request, fault] = GetParam();
    FaultScene scene;
    auto server = std::make_unique<DemoServer>(serverSwitches(request, fault));
    std::unique_ptr<ClosingProxy> proxy;
    std::string connectTo = server->connectTo();
    if (fault == Fault::NotListening) {
        proxy = std::make_unique<ClosingProxy>(server->port(), spec(request).previous);
        connectTo = proxy->connectTo();
    }

    // Only the stall cases shorten the stall time-out: a busy machine must
    // not turn a slow 100 MiB reply into a stall.
    std::vector<std::string> extra;
    if (fault == Fault::Stall) extra = {"--http-stall-timeout", std::to_string(kStallSeconds)};
    LumenhostResult result = scene.run(keysFor(request, fault), connectTo, extra);
    ASSERT_FALSE(result.timedOut);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);

    if (failsTransfer(fault)) {
        const size_t tries = isFeed(request) ? 2 : 1;
        ASSERT_GE(dumps.size(), 2 * tries) << result.out;
        for (size_t i = 0; i < 2 * tries; i += 2) {
            expectBox(dumps[i], errorText(fault), "User Abort", "0x21");
            expectStateAfterFailure(request, dumps[i + 1]);
        }
    } else {
        expectReaderResult(request, fault, dumps);
    }

    EXPECT_EQ(scene.partFiles(), std::vector<std::string>{});
    EXPECT_EQ(scene.filesIn("/var/tmp"), expectedTemporaries(request, fault));
    EXPECT_EQ(scene.root.read(paths::settingsFile), scene.settings);
    EXPECT_EQ(scene.filesIn("/var/keys"), std::vector<std::string>{"corvane.cfg"});
    EXPECT_EQ(scene.filesIn(kDownloadDir), std::vector<std::string>{kDownloadName});
    std::string download = scene.root.read(scene.downloadPath());
    if (request == Request::FileDownload && fault == Fault::EmptyBody) {
        EXPECT_EQ(download, "");
    } else if (request == Request::FileDownload && fault == Fault::Junk) {
        EXPECT_EQ(download.size(), static_cast<size_t>(junkMegabytes(request)) << 20);
    } else {
        EXPECT_EQ(download, scene.oldDownload);
    }

    RecordProperty("max_rss_kb", static_cast<int>(result.maxRssKb));
    if (fault == Fault::Junk && !sanitized()) {
        EXPECT_LT(result.maxRssKb, kMaxRssKb) << "peak resident set of lumenhost, KiB";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRequest, FaultMatrix,
                         ::testing::Combine(::testing::ValuesIn(allRequests()), ::testing::ValuesIn(allFaults())),
                         [](const ::testing::TestParamInfo<FaultMatrix::ParamType>& info) {
                             return std::string(spec(std::get<0>(info.param)).name) + "_" +
                                    faultName(std::get<1>(info.param));
                         });
