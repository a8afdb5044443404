// The encoding name handed to the XML parser, chosen from the first chunk.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include "news/feed_reading.h"

namespace {

// The chunk in a heap block of exactly its size, without a terminator, so
// that the sanitizer build catches a read past its end.
eString inChunk(eString (*choose)(const char*, size_t), const std::string& bytes) {
    std::unique_ptr<char[]> chunk(new char[bytes.size()]);
    std::memcpy(chunk.get(), bytes.data(), bytes.size());
    return choose(chunk.get(), bytes.size());
}
eString rss(const std::string& bytes) { return inChunk(feedreading::rssEncoding, bytes); }
eString config(const std::string& bytes) { return inChunk(feedreading::configEncoding, bytes); }

}  // namespace

TEST(RssEncoding, DeclaredUtf8InAnyCaseAndQuotesGivesUtf8EverythingElseLatin1) {
    for (const char* chunk : {"<?xml version=\"1.0\" encoding=\"utf-8\"?><rss>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss>",
                              "<?xml version=\"1.0\" encoding=\"Utf-8\"?><rss>",
                              "<?xml version='1.0' encoding='utf-8'?><rss version=\"2.0\">"})
        EXPECT_EQ(rss(chunk), "UTF-8") << chunk;
    for (const char* chunk : {"<?xml version='1.0' encoding='windows-1252'?><rss version=\"2.0\">",
                              "<?xml version=\"1.0\"?><rss>", "<rss>", "", "<?xml encoding=\"iso-8859-1\"?>",
                              "<?xml encoding=\"ISO-8859-15\"?>", "<?xml encoding=\"windows-1254\"?>",
                              "<?xml encoding=\"utf-16\"?>",
                              "<?xml ENCODING=\"utf-8\"?>",  // the keyword is case-sensitive
                              // the closing quote missing from the chunk
                              "<?xml version=\"1.0\" encoding=\"utf-8", "<?xml version=\"1.0\" encoding=\"",
                              "<?xml version=\"1.0\" encoding="})
        EXPECT_EQ(rss(chunk), "ISO-8859-1") << chunk;
}

TEST(RssEncoding, NameOverLongGivesLatin1) {
    std::string name255(255, 'x'), name256(256, 'x');
    eString declared;
    std::string fits = "<?xml encoding=\"" + name255 + "\"?>";
    ASSERT_TRUE(feedreading::declaredEncoding(fits.data(), fits.size(), declared));
    EXPECT_EQ(declared, name255);
    std::string tooLong = "<?xml encoding=\"" + name256 + "\"?>";
    EXPECT_FALSE(feedreading::declaredEncoding(tooLong.data(), tooLong.size(), declared));
    EXPECT_EQ(rss(tooLong), "ISO-8859-1");
    EXPECT_EQ(rss("<?xml encoding=\"" + std::string(3000, 'u') + "\"?>"), "ISO-8859-1");
}

TEST(RssEncoding, OnlyTheBytesGivenAreSearched) {
    std::string declaration = "<?xml encoding=\"utf-8\"?>";
    // The closing quote lies just outside the chunk.
    EXPECT_EQ(feedreading::rssEncoding(declaration.data(), declaration.find("\"?>")), "ISO-8859-1");
    EXPECT_EQ(feedreading::rssEncoding(declaration.data(), declaration.size()), "UTF-8");
}

TEST(ConfigEncoding, DeclaredNameIsKeptAsWritten) {
    EXPECT_EQ(config("<?xml version=\"1.0\" encoding=\"utf-8\"?><feeds>"), "utf-8");
    EXPECT_EQ(config("<?xml version=\"1.0\" encoding=\"windows-1252\"?>"), "windows-1252");
    EXPECT_EQ(config("<feeds>"), "ISO-8859-1");
    EXPECT_EQ(config("<?xml encoding=\"utf-8"), "ISO-8859-1");
    EXPECT_EQ(config("<?xml encoding=\"" + std::string(256, 'x') + "\"?>"), "ISO-8859-1");
}
