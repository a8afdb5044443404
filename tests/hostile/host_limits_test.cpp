// The emulated host against hostile replies, in-process: XML limits, the
// root holding against "..", reply codes and limits, abandoned transfers.
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include "emu/file_root.h"
#include "emu/http_settings.h"
#include "emu/mainloop.h"
#include "host/ehttp.h"
#include "host/xmltree.h"
#include "tests/hostile/raw_server.h"
#include "tests/support/box_root.h"

namespace {

std::string attributes(int count, size_t valueBytes) {
    std::string out;
    for (int i = 0; i < count; ++i) out += " a" + std::to_string(i) + "=\"" + std::string(valueBytes, 'v') + "\"";
    return out;
}

// As the feed reader feeds it: 2 KiB pieces, the last one final.
int parseInPieces(XMLTreeParser& parser, const std::string& doc) {
    for (size_t at = 0; at < doc.size(); at += 2048)
        if (!parser.Parse(doc.data() + at, static_cast<int>(std::min<size_t>(2048, doc.size() - at)), at + 2048 >= doc.size()))
            return 0;
    return 1;
}

// What the parser made of a document: "refused", or the root's children
// as name=text.
std::string outcome(XMLTreeParser& parser, int result) {
    if (!result) return "refused";
    if (!parser.RootNode()) return "no root";
    std::string out;
    for (const XMLTreeNode* child = parser.RootNode()->GetChild(); child; child = child->GetNext())
        out += std::string(out.empty() ? "" : " ") + child->GetType() + "=" + (child->GetData() ? child->GetData() : "");
    return out;
}

TEST(HostileXml, ElementsPastALimitAreDroppedAndAttacksRefusedAlikeInPiecesOrWhole) {
    using P = XMLTreeParser;
    const std::string after = "<t>y</t></rss>", dropped = "<t>x</t></e>" + after;
    const std::string text(200000, 't');
    const struct { std::string doc; const char* result; } cases[] = {
        {"<rss" + attributes(P::maxAttributes, 1) + "><t>" + text + "</t></rss>", nullptr},
        {"<rss><e" + attributes(P::maxAttributes + 1, 1) + ">" + dropped, "t=y"},
        {"<rss><e" + attributes(1, P::maxAttributeBytes - 2) + "/>" + after, "e= t=y"},
        {"<rss><e" + attributes(1, P::maxAttributeBytes) + ">" + dropped, "t=y"},
        {"<rss><e" + attributes(1, 70000) + " b=\"'>\"/>" + after, "e= t=y"},  // quotes hold a ">"
        {"<rss><" + std::string(P::maxNameLength, 'n') + "/>" + after, nullptr},
        {"<rss><" + std::string(P::maxNameLength + 1, 'n') + "><t>x</t></" + std::string(P::maxNameLength + 1, 'n') +
             ">" + after, "t=y"},
        {"<rss><!--" + std::string(3 << 20, 'c') + "-->" + after, "t=y"},  // skipped, however long
        {"<rss>a<?pi " + std::string(3 << 20, 'p') + "?>b" + after, "t=y"},
        // Expat is handed 4 KiB at a time: one ends after the "<" of a
        // comment, one inside a PI with no blank after its target.
        {"<rss>" + std::string(4090, 'a') + "<!--c-->" + after, "t=y"},
        {"<rss>" + std::string(4089, 'a') + "<?pi?>" + std::string(200000, 'a') + after, "t=y"},
        {"<rss><!--" + std::string(3 << 20, 'c') + "--x-->" + after, "refused"},  // "--" inside
        {"<rss><!--" + std::string(3 << 20, 'c') + "\x01-->" + after, "refused"},  // not a character
        {"<rss><!--" + std::string(3 << 20, 'c') + "\xc3-->" + after, "refused"},  // half a character
        {"<rss><!--" + std::string(3 << 20, 'c') + "--->" + after, "refused"},
        {"<" + std::string(4 << 20, 'n') + "/>", "refused"},                    // a 4 MB root name
        {"<rss a=\"" + std::string(4 << 20, 'v') + "\"/>", "refused"},         // a 4 MB attribute
        {"<rss" + attributes(470000, 0) + "/>", "refused"},                      // an attribute flood
        {"<rss><e" + attributes(P::maxTagAttributes + 1, 0) + "/></rss>", "refused"},
        {"<rss>&" + std::string(P::maxMarkup, 'r') + ";</rss>", "refused"},     // any other token
    };
    for (const auto& [doc, result] : cases) {
        SCOPED_TRACE(doc.substr(0, 40) + "... of " + std::to_string(doc.size()) + " bytes");
        XMLTreeParser pieces("UTF-8"), whole("UTF-8");
        std::string inPieces = outcome(pieces, parseInPieces(pieces, doc));
        EXPECT_EQ(inPieces, outcome(whole, whole.Parse(doc.data(), static_cast<int>(doc.size()), 1)));
        if (result) {
            EXPECT_EQ(inPieces, result);
        }
        EXPECT_EQ(inPieces == "refused", *pieces.ErrorString() != '\0');
    }
    // Expat keeps every attribute name it has met: a document of many is refused.
    std::string names = "<rss>";
    for (int i = 0; i <= P::maxAttributeNames; ++i) names += "<e a" + std::to_string(i) + "=\"\"/>";
    XMLTreeParser parser("UTF-8");
    EXPECT_EQ(parseInPieces(parser, names + "</rss>"), 0);
}

TEST(HostileRoot, DotDotStaysInsideTheRoot) {
    const std::pair<const char*, const char*> cases[] = {
        {"/var/tmp/../../../../tmp/x/", "/tmp/r/tmp/x/"},
        {"/var/./tmp//rss.tmp", "/tmp/r/var/tmp/rss.tmp"},
        {"/media/hdd/..", "/tmp/r/media/"},
        {"/tmp/../var/keys/c.cfg", "/tmp/r/var/keys/c.cfg"},
        {"/tmp/r/var/tmp/../a", "/tmp/r/var/a"},
        {"/usr/../tmp/x", "/usr/../tmp/x"},  // no box path, before or after
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(emu::resolveBoxPath("/tmp/r", path), expected) << path;

    BoxRoot box;  // the same through the C library's open
    std::filesystem::create_directories(box.dir() + "/tmp");
    const std::string outside = "/tmp/lumen-escape-" + std::to_string(getpid());
    FILE* file = fopen(("/var/tmp/../../../.." + outside).c_str(), "w");
    ASSERT_NE(file, nullptr);
    fclose(file);
    EXPECT_TRUE(std::filesystem::exists(box.dir() + outside));
    EXPECT_FALSE(std::filesystem::exists(outside));
}

bool runUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < deadline) mainloop().iterate(20);
    return done();
}

bool quiet() { return mainloop().busyCount() == 0; }

size_t entries(const std::string& dir) {
    auto all = std::filesystem::directory_iterator(dir);
    return static_cast<size_t>(std::distance(begin(all), end(all)));
}

// Receives one transfer's end, as a window's fetcher does.
struct Receiver : SigC::Object {
    int code = 1;
    void done(int result) { code = result; }
};

void startDownload(const std::string& url, const std::string& file, Receiver& receiver) {
    int error = 0;
    eHTTPConnection* connection = eHTTPConnection::doRequest(url.c_str(), eApp, &error);
    ASSERT_NE(connection, nullptr) << error;
    connection->createDataSink.connect(
        [file](eHTTPConnection* c) -> eHTTPDataSource* { return new eHTTPDownload(c, file.c_str()); });
    connection->transferDone.connect(SigC::slot(receiver, &Receiver::done));
    connection->start();
}

// Only a final 200 whose body arrived whole is a success. Every failure
// ends within the stall time-out and leaves the old target as it was.
TEST(HostileHttp, EachFailureHasItsOwnCodeAndSparesTheTarget) {
    const std::string ok = "HTTP/1.0 200 OK\r\n\r\n", file = "/var/tmp/r.tmp", old(40, 'o');
    const auto status = [](const std::string& line, const std::string& rest = "") {
        return RawReply{RawReply::Close, "HTTP/1.1 " + line + "\r\n" + rest + "\r\n"};
    };
    const std::string hundred = std::string(100, 'h');
    const struct { RawReply reply; const char* scheme; std::string file; int code; } cases[] = {
        {{RawReply::Close, ok + std::string(1000, 'b')}, "http", file, 0},
        {{RawReply::Close, ok}, "http", file, 0},  // an empty 200 is an empty file
        {{RawReply::Close, ok + std::string(1001, 'b')}, "http", file, eHTTPConnection::errorTooLarge},
        {{RawReply::Close, "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nb"}, "http", file, eHTTPConnection::errorTooLarge},
        {{RawReply::Close, "<html>no status line</html>\n"}, "http", file, eHTTPConnection::errorNotHttp},
        {{RawReply::Close, "HTTP/1.1 400 Bad Request\r\n\r\n"}, "https", file, eHTTPConnection::errorTls},
        {{RawReply::Silent, ""}, "https", file, eHTTPConnection::errorTls},
        {{RawReply::Close, ok + "b"}, "http", "/var/tmp/" + std::string(300, 'n'), eHTTPConnection::errorNameTooLong},
        // Statuses other than 200 fail with the status, whatever the body.
        {status("304 Not Modified"), "http", file, 304},
        {status("204 No Content"), "http", file, 204},
        {status("206 Partial Content", "Content-Length: 3\r\n") , "http", file, 206},
        {status("302 Found", "Content-Length: 4\r\n"), "http", file, 302},  // no Location to follow
        // An interim status and no final one: the reply is cut short.
        {status("100 Continue"), "http", file, eHTTPConnection::errorTransfer},
        {status("101 Switching Protocols", "Upgrade: x\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {{RawReply::Close, "HTTP/1.1 399 Odd\r\n\r\nbody"}, "http", file, 399},
        {{RawReply::Close, "HTTP/1.1 201 Created\r\nContent-Length: 4\r\n\r\nbody"}, "http", file, 201},
        // Broken replies, not a failure of the client.
        {status("200 OK", "X-Long: " + std::string(1 << 20, 'l') + "\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", "X-Long: " + std::string(150000, 'l') + "\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("302 Found", "Location: /" + std::string(200000, 'l') + "\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("301 Moved", "Location: /" + std::string(120000, 'l') + "\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", "Content-Length: -5\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", "Content-Length: -99999999999\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", std::string("X-Nul: a\0b\r\n", 12)), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", std::string("Content-Type: text/\0plain\r\n", 27)), "http", file, eHTTPConnection::errorTransfer},
        // 100 bytes, then silence: the stall time-out counts from the last byte.
        {{RawReply::Silent, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + hundred}, "http", file, eHTTPConnection::errorTimeout},
        {{RawReply::Silent, "HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\n" + hundred.substr(0, 7)}, "http", file, eHTTPConnection::errorTimeout},
    };
    constexpr long stallSeconds = 2;
    emu::setHttpMaxReplyBytes(1000);
    emu::setHttpTimeouts(1000, stallSeconds);
    for (const auto& [reply, scheme, target, code] : cases) {
        SCOPED_TRACE(reply.bytes.substr(0, 30) + "... of " + std::to_string(reply.bytes.size()) + " bytes, " + scheme);
        BoxRoot box;
        box.write(target.size() < 100 ? target : file, old);
        RawServer server([&reply = reply](const std::string&) { return reply; });
        Receiver receiver;
        auto began = std::chrono::steady_clock::now();
        startDownload(std::string(scheme) + "://127.0.0.1:" + std::to_string(server.port()) + "/", target, receiver);
        EXPECT_TRUE(runUntil(quiet));
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(stallSeconds * 1000 + 1500));
        EXPECT_EQ(receiver.code, code);
        EXPECT_EQ(entries(box.path("/var/tmp")), 1u);
        if (target == file) {
            EXPECT_EQ(box.read(file), code == 0 ? reply.bytes.substr(ok.size()) : old);
        }
    }
    emu::setHttpMaxReplyBytes(0);
    emu::setHttpTimeouts(0, 0);
}

TEST(HostileHttp, ATransferWhoseReceiverDiedEndsAtOnceWithItsSocketAndFile) {
    BoxRoot box;
    box.mkdirs("/media/hdd");
    RawServer server([](const std::string& request) {
        if (request.find("/first") != std::string::npos) return RawReply{RawReply::Close, "HTTP/1.0 200 OK\r\n\r\nfirst"};
        return RawReply{RawReply::Trickle, "HTTP/1.1 200 OK\r\nContent-Length: 99999\r\n\r\n"};
    });
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
    Receiver first;  // sets the client up, so that its own descriptors are counted in `before`
    startDownload(url + "first", "/var/tmp/first", first);
    ASSERT_TRUE(runUntil(quiet));
    const size_t before = entries("/proc/self/fd");
    auto receiver = std::make_unique<Receiver>();
    startDownload(url, "/media/hdd/f.bin", *receiver);
    ASSERT_TRUE(runUntil([&] { return entries(box.path("/media/hdd")) > 0; }));  // the body flows
    receiver.reset();  // the window closes
    EXPECT_TRUE(runUntil(quiet));
    EXPECT_EQ(entries(box.path("/media/hdd")), 0u);
    // The server's side of the first connection may close meanwhile.
    EXPECT_TRUE(runUntil([&] { return entries("/proc/self/fd") <= before; }));
}

}  // namespace
