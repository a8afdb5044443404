// Every reader of a server reply or box file, on every fixture of its kind
// (tests/data/<folder>/, one quirk per file) and on no file at all: what the
// reader makes of it, the boxes it shows and whether it removes the file are
// compared with their reviewed copy (tests/support/reviewed.h).
#include <gtest/gtest.h>
#include <dirent.h>
#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>
#include "community/ParseShoutInput.h"
#include "community/ParseStatInput.h"
#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "news/ConfigParser.h"
#include "news/RSSParser.h"
#include "news/Selchoice1.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"
#include "tests/support/reviewed.h"

namespace {

const std::string kData = LUMEN_TEST_DATA;

struct Reader {
    const char* folder;  // under tests/data/
    const char* prefix;  // fixtures whose names start with it ("" for all)
    const char* boxPath;  // where the reader looks for its file; "" takes the fixture's own path
    bool languages;       // whether the result depends on CORLANG
    std::function<std::string(const std::string& file)> read;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

template <typename Item>
std::string items(std::string out, const std::list<Item>& list, const std::function<std::string(const Item&)>& show) {
    out += std::to_string(list.size()) + " items\n";
    for (const Item& item : list) out += show(item);
    return out;
}

const Reader kReaders[] = {
    {"news", "", "", false, [](const std::string& file) {
         RSSParser parser;
         parser.items.push_back(NewsItem{7, "stale", "", "", ""});  // a parse starts afresh
         parser.parse(file);
         return items<NewsItem>("", parser.items, [](const NewsItem& i) {
             return "#" + std::to_string(i.index) + " title=[" + i.title + "] date=[" + i.date + "] link=[" + i.link +
                    "]\n  [" + i.description + "]\n";
         });
     }},
    {"net", "", "", false, [](const std::string& file) {
         RSSParser parser;
         parser.parse(file);
         return std::to_string(parser.items.size()) + " items\n";
     }},
    {"news", "feeds_", "", false, [](const std::string& file) {
         ConfigParser parser;
         parser.items.push_back(ConfigItem{0, "kept", "http://kept"});  // a parse appends
         int result = parser.parse(file);
         return items<ConfigItem>("result " + std::to_string(result) + ", ", parser.items, [](const ConfigItem& i) {
             return "#" + std::to_string(i.index) + " [" + i.name + "] [" + i.url + "]\n";
         });
     }},
    {"articles", "", paths::articleFile, true, [](const std::string&) { return std::string(Selchoice1()); }},
    {"community", "shout_", paths::shoutFile, true, [](const std::string&) { return std::string(ParseShoutInput()); }},
    {"community", "stat_", paths::shoutFile, true, [](const std::string&) { return std::string(ParseStatInput()); }},
    {"community", "category_", paths::feedFile, false, [](const std::string&) {
         std::string out;
         for (const CategoryEntry& e : loadCategoryReply()) out += std::to_string(e.id) + " [" + e.title + "]\n";
         return out;
     }},
    {"community", "detail_", paths::feedFile, true, [](const std::string&) {
         FileDetail detail = loadFileDetail(CORLANG);
         return "name [" + detail.fileName + "]\n" + detail.text;
     }},
    {"settings", "", paths::settingsFile, false, [](const std::string&) {
         CORLANG = 0;
         CORDDIR = "unset";
         CORNICK = "unset";
         retrieveConfig();
         return "lang " + std::to_string(CORLANG) + "\ndown [" + CORDDIR + "]\nnick [" + CORNICK + "]\n";
     }},
};

struct Case {
    const Reader* reader;
    std::string fixture;  // "" for no file
};

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (const Reader& reader : kReaders) {
        std::vector<std::string> names;
        if (DIR* dir = opendir((kData + "/" + reader.folder).c_str())) {
            while (dirent* entry = readdir(dir)) {
                std::string name = entry->d_name;
                bool other = std::string(reader.prefix).empty() && name.rfind("feeds_", 0) == 0;
                if (name[0] != '.' && name.rfind(reader.prefix, 0) == 0 && !other && name != "texts_table.txt")
                    names.push_back(name);
            }
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        if (*reader.boxPath) names.insert(names.begin(), "");
        for (const std::string& name : names) cases.push_back({&reader, name});
    }
    return cases;
}

std::string caseName(const Case& c) {
    std::string name = std::string(c.reader->folder) + "_" + (c.fixture.empty() ? c.reader->prefix + std::string("missing") : c.fixture);
    for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

class Readers : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(Readers, GiveTheReviewedResult) {
    const Case& c = GetParam();
    const std::string fixture = c.fixture.empty() ? "" : kData + "/" + c.reader->folder + "/" + c.fixture;
    std::string got;
    for (int lang = 1; lang <= (c.reader->languages ? 3 : 1); ++lang) {
        BoxRoot root;
        MessageBoxAnswerer boxes;
        CORLANG = lang;
        if (*c.reader->boxPath && !fixture.empty()) root.write(c.reader->boxPath, slurp(fixture));
        std::string text = c.reader->read(fixture);
        if (lang > 1 && text.size() > 4096) break;  // long results once
        got += "== lang " + std::to_string(lang) + "\n" + text + "\n";
        for (const auto& box : boxes.boxes())
            got += "box [" + box.caption + "] [" + box.text + "] " + std::to_string(box.flags) + "\n";
        if (*c.reader->boxPath && root.exists(c.reader->boxPath)) got += "file kept\n";
    }
    expectReviewed(got, "readers/" + caseName(c));
}

INSTANTIATE_TEST_SUITE_P(EveryFixture, Readers, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return caseName(info.param); });
