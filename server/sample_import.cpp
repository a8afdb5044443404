#include "server/sample_import.h"

#include <ctime>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "server/files_folder.h"
#include "server/site_paths.h"
#include "server/text_codec.h"

namespace srv {

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

// The text of the first <name> element in `xml`, XML entities decoded: the
// HTML it carries.
std::string element(const std::string& xml, const std::string& name) {
    size_t open = xml.find("<" + name + ">");
    if (open == std::string::npos) return "";
    open += name.size() + 2;
    size_t close = xml.find("</" + name + ">", open);
    return decodeBasicEntities(xml.substr(open, close - open));
}

std::vector<std::string> items(const std::string& xml) {
    std::vector<std::string> out;
    for (size_t at = xml.find("<item"); at != std::string::npos; at = xml.find("<item", at + 1)) {
        if (xml.compare(at, 6, "<item>") != 0 && xml.compare(at, 6, "<item ") != 0) continue;  // <items>
        size_t end = xml.find("</item>", at);
        if (end == std::string::npos) break;
        out.push_back(xml.substr(at, end - at));
    }
    return out;
}

// The article number of a link to this server's article page; 0 for
// any other link, which the item then keeps as its own.
int64_t sidOf(const std::string& link) {
    static const std::regex own("https?://[^/]+" + std::regex_replace(scriptPath, std::regex("\\."), "\\.") +
                                "\\?op=" + op::article + "&sid=([0-9]{1,9})&Itemid=99999999");
    std::smatch m;
    return std::regex_match(link, m, own) ? std::stoll(m[1]) : 0;
}

struct Page {
    std::string author;
    int64_t reads = 0;
    std::string body;
};

Page articlePageOf(const std::string& dir, int64_t sid) {
    Page page;
    std::string path = dir + "/articles/" + std::to_string(sid) + ".html";
    auto lines = linesOf(readAll(path));
    if (lines.size() < 4) throw std::runtime_error(path + ": needs title, author, date and reads lines");
    page.author = lines[1];
    page.reads = std::atoll(lines[3].c_str());
    for (size_t i = 4; i < lines.size(); ++i) page.body += lines[i] + "\n";
    return page;
}

void importNews(Store& store, const std::string& dir, ImportCount& count) {
    std::string english = dir + "/feeds/english.xml";
    for (const std::string& xml : items(readAll(english))) {
        Article a;
        a.lang = "en";
        a.title = element(xml, "title");
        a.summary = element(xml, "description");
        std::string link = element(xml, "link");
        a.id = sidOf(link);
        if (a.id == 0) a.link = link;
        if (!parseFeedDate(element(xml, "pubDate"), a.posted, a.utcOffset))
            throw std::runtime_error(english + ": bad pubDate in \"" + a.title + "\"");
        if (a.id > 0) {
            Page page = articlePageOf(dir, a.id);
            a.author = page.author;
            a.reads = page.reads;
            a.body = page.body;
        }
        store.addArticle(a);
        ++count.news;
    }
    // The Italian items are short versions of English ones: their summary
    // is their page, under the English article's author and date.
    std::string italian = dir + "/feeds/italian.rdf";
    for (const std::string& xml : items(latin1ToUtf8(readAll(italian)))) {
        Article a;
        a.lang = "it";
        a.title = element(xml, "title");
        a.summary = element(xml, "description");
        a.body = a.summary + "\n";
        std::string link = element(xml, "link");
        auto original = store.article(sidOf(link));
        if (original) {
            a.author = original->author;
            a.posted = original->posted;
            a.utcOffset = original->utcOffset;
        } else {
            a.link = link;
            a.posted = std::time(nullptr);
        }
        store.addArticle(a);
        ++count.news;
    }
}

void importShouts(Store& store, const std::string& dir, ImportCount& count) {
    std::string path = dir + "/shouts.txt";
    std::vector<std::string> block;
    auto finish = [&] {
        if (block.empty()) return;
        std::tm tm{};
        std::string when = block[0] + " " + block[3];
        if (block.size() != 4 || !strptime(when.c_str(), "%H:%M %d/%m/%Y", &tm))
            throw std::runtime_error(path + ": a shout is four lines: time, nickname, message, date");
        tm.tm_isdst = -1;
        Shout s;
        s.posted = std::mktime(&tm);
        s.nick = decodeBasicEntities(block[1]);
        s.message = decodeBasicEntities(block[2]);
        s.address = "sample";
        store.addShout(s);
        ++count.shouts;
        block.clear();
    };
    for (const std::string& line : linesOf(readAll(path))) {
        if (!line.empty() && line[0] == '#') continue;
        if (line.empty()) finish();
        else block.push_back(line);
    }
    finish();
}

void importFiles(Store& store, const std::string& dir, const std::string& filesDir, ImportCount& count) {
    static const char* const categories[] = {"Cam", "Keys", "Plugins", "Script", "Settings", "Skins"};
    for (const char* category : categories) {
        auto pairs = linesOf(readAll(dir + "/categories/" + category + ".txt"));
        for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
            std::string detailPath = dir + "/details/" + pairs[i] + ".txt";
            auto lines = linesOf(readAll(detailPath));
            std::tm tm{};
            if (lines.size() < 6 || !strptime(lines[3].c_str(), "on %d %b %Y", &tm))
                throw std::runtime_error(detailPath + ": needs name, title, uploader, date, size, downloads");
            FileEntry f;
            f.id = std::atoll(pairs[i].c_str());
            f.category = category;
            f.name = lines[0];
            f.title = pairs[i + 1];
            f.uploader = lines[2];
            char day[16];
            std::strftime(day, sizeof day, "%Y-%m-%d", &tm);
            f.uploaded = day;
            f.downloads = std::atoll(lines[5].c_str());
            for (size_t k = 6; k < lines.size(); ++k) f.description += lines[k] + "\n";
            f.size = addToFilesFolder(dir + "/files/" + f.name, filesDir, f.name);
            store.addFile(f);
            ++count.files;
        }
    }
}

}  // namespace

bool parseFeedDate(const std::string& text, int64_t& posted, int& utcOffset) {
    std::tm tm{};
    const char* rest = strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S", &tm);
    if (!rest) return false;
    std::string zone(rest);
    while (!zone.empty() && zone.front() == ' ') zone.erase(0, 1);
    if (zone == "GMT" || zone == "UTC" || zone.empty()) {
        utcOffset = 0;
    } else if (std::regex_match(zone, std::regex("[+-][0-9]{4}"))) {
        int hhmm = std::stoi(zone.substr(1));
        utcOffset = (hhmm / 100 * 60 + hhmm % 100) * (zone[0] == '-' ? -1 : 1);
    } else {
        return false;
    }
    posted = static_cast<int64_t>(timegm(&tm)) - int64_t{utcOffset} * 60;
    return true;
}

ImportCount importSample(Store& store, const std::string& sampleDir, const std::string& filesDir) {
    ImportCount count;
    store.batch([&] {
        importNews(store, sampleDir, count);
        importShouts(store, sampleDir, count);
        importFiles(store, sampleDir, filesDir, count);
    });
    return count;
}

}  // namespace srv
