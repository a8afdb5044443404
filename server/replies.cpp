#include "server/replies.h"

#include <ctime>

#include "server/text_codec.h"
#include "server/xml_writer.h"

namespace srv {

namespace {

// A shout page line is read in pieces of 1023 bytes, line feed included.
constexpr size_t shoutLineBytes = 1023;

std::string format(const char* pattern, const std::tm& tm) {
    char buf[128];
    size_t n = std::strftime(buf, sizeof buf, pattern, &tm);
    return std::string(buf, n);
}

std::tm shifted(int64_t posted, int utcOffset) {
    std::time_t t = static_cast<std::time_t>(posted + int64_t{utcOffset} * 60);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
}

std::string offsetText(int utcOffset) {
    char buf[16];
    int minutes = utcOffset < 0 ? -utcOffset : utcOffset;
    std::snprintf(buf, sizeof buf, "%c%02d%02d", utcOffset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return buf;
}

// The plug-in drops shout fields shorter than two bytes.
std::string atLeastTwo(std::string text) {
    while (text.size() < 2) text += ' ';
    return text;
}

void item(XmlWriter& xml, const Article& a, const std::string& baseUrl, bool rss2) {
    std::string link = itemLink(a, baseUrl);
    if (rss2) xml.markup("<item>\n");
    else xml.markup("<item rdf:about=\"").attribute(link).markup("\">\n");
    // Titles and summaries are HTML; the plug-in decodes the XML, then the HTML.
    xml.element("title", a.title).element("link", link).element("description", a.summary);
    if (rss2) xml.element("pubDate", feedDate(a.posted, a.utcOffset));
    xml.markup("</item>\n");
}

}  // namespace

std::string itemLink(const Article& article, const std::string& baseUrl) {
    if (!article.link.empty()) return article.link;
    return baseUrl + "/lumennews/index.php?op=article&sid=" + std::to_string(article.id) + "&Itemid=99999999";
}

std::string feedRss2(const std::vector<Article>& news, const std::string& baseUrl) {
    XmlWriter xml(XmlWriter::Encoding::Utf8);
    xml.markup("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\">\n<channel>\n")
        .element("title", "Orbivox Daily News")
        .element("link", baseUrl + "/lumennews/")
        .element("description", "News from the Orbivox set-top box community")
        .element("language", "en");
    for (const Article& a : news) item(xml, a, baseUrl, true);
    xml.markup("</channel>\n</rss>\n");
    return xml.document();
}

std::string feedRss1(const std::vector<Article>& news, const std::string& baseUrl) {
    const std::string home = baseUrl + "/lumennews/";
    XmlWriter xml(XmlWriter::Encoding::Latin1);
    xml.markup("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
               "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
               "xmlns=\"http://purl.org/rss/1.0/\">\n<channel rdf:about=\"")
        .attribute(home)
        .markup("\">\n")
        .element("title", "Orbivox Notizie")
        .element("link", home)
        .element("description", "Le notizie della comunità Orbivox")
        .markup("<items>\n<rdf:Seq>\n");
    for (const Article& a : news) xml.markup("<rdf:li rdf:resource=\"").attribute(itemLink(a, baseUrl)).markup("\"/>\n");
    xml.markup("</rdf:Seq>\n</items>\n</channel>\n");
    for (const Article& a : news) item(xml, a, baseUrl, false);
    xml.markup("</rdf:RDF>\n");
    return xml.document();
}

std::string feedDate(int64_t posted, int utcOffset) {
    return format("%a, %d %b %Y %H:%M:%S ", shifted(posted, utcOffset)) +
           (utcOffset == 0 ? std::string("GMT") : offsetText(utcOffset));
}

std::string pageDate(int64_t posted, int utcOffset) {
    std::string zone = utcOffset == 0 ? "GMT" : utcOffset == 60 ? "CET" : offsetText(utcOffset);
    return format("%A, %d %B %Y @ %H:%M ", shifted(posted, utcOffset)) + zone;
}

std::string articlePage(const Article& a) {
    std::string body = a.body;
    if (!body.empty() && body.back() != '\n') body += '\n';
    return oneLine(a.title) + "\n" + oneLine(a.author, " ") + "\n" + pageDate(a.posted, a.utcOffset) + "\n" +
           std::to_string(a.reads) + "\n" + body;
}

std::string shoutLine(const std::string& plain) {
    std::string line = "<td>" + atLeastTwo(htmlEscape(plain)) + "</td>\n";
    return line.size() <= shoutLineBytes ? line : "";
}

std::string shoutPage(const std::vector<Shout>& shouts) {
    std::string out =
        "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
        "<title>Orbivox shoutbox</title>\n</head>\n<!-- end document head -->\n<body>\n<table class=\"shouts\">\n";
    int count = 0;
    for (const Shout& s : shouts) {
        if (count++ == shownShouts) break;
        std::time_t t = static_cast<std::time_t>(s.posted);
        std::tm local{};
        localtime_r(&t, &local);
        std::string nick = shoutLine(s.nick), message = shoutLine(s.message);
        // Stored shouts were checked on the way in; this only guards rows
        // put in by other means, which would shift every column after them.
        if (nick.empty() || message.empty()) continue;
        out += "<tr>\n<td>" + format("%H:%M", local) + "</td>\n" + nick + message + "<td><small>" +
               format("%d/%m/%Y", local) + "</small></td>\n</tr>\n";
    }
    return out + "</table>\n</body>\n</html>\n";
}

std::string statisticsReply(const Statistics& stats) {
    const Totals& t = stats.totals;
    // The statistics window shows the lines as they are: plain text only.
    std::string title = oneLine(decodeBasicEntities(t.topNews));
    return std::to_string(stats.pluginRequests) + "\n" + std::to_string(stats.visitorsToday) + "\n" +
           std::to_string(t.news) + "\n" + std::to_string(t.files) + "\n" + std::to_string(t.shouts) + "\n" + title +
           "\n" + std::to_string(t.topNewsReads) + "\n" + oneLine(t.topFile) + "\n" +
           std::to_string(t.topFileDownloads) + "\n";
}

std::string categoryReply(const std::vector<FileEntry>& files) {
    std::string out;
    for (const FileEntry& f : files) out += std::to_string(f.id) + "\n" + oneLine(f.title, " ") + "\n";
    return out;
}

std::string fileDetailReply(const FileEntry& f) {
    std::tm tm{};
    std::string uploaded = f.uploaded;
    if (strptime(f.uploaded.c_str(), "%Y-%m-%d", &tm)) uploaded = format("on %d %b %Y", tm);
    std::string size = f.size < 10 * 1024 ? std::to_string(f.size) + " bytes"
                       : f.size < 10 * 1024 * 1024 ? std::to_string(f.size / 1024) + " KB"
                                                   : std::to_string(f.size / (1024 * 1024)) + " MB";
    std::string description = f.description;
    if (!description.empty() && description.back() != '\n') description += '\n';
    return f.name + "\n" + oneLine(f.title, " ") + "\n" + oneLine(f.uploader, " ") + "\n" + uploaded + "\n" + size +
           "\n" + std::to_string(f.downloads) + "\n" + description;
}

}  // namespace srv
