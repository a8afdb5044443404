#include "tests/e2e/scene.h"
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include "settings/paths.h"

namespace e2e {

const std::vector<Route> kRoutes = {
    {"/lumennews/index.php?op=outmerss", "tour/feed_en.rss"},
    {"/lumennews/index.php?op=outmerss&tn=3", "tour/feed_it.rss"},
    {"/lumennews/article.php?sid=1", "articles/page_full.html"},
    {"/lumennews/article.php?sid=2", "tour/article_long.html"},
    {"/lumennews/article.php?sid=4", "articles/page_two_lines.html"},
    {"/lumennews/index.php?op=outme", "community/shout_entities.html"},
    {"/lumennews/index.php?op=outmestats2", "community/stat_nine_lines.txt"},
    {"/lumennews/index.php?op=outcat&cat=Cam", "community/category_two_files.txt"},
    {"/lumennews/index.php?op=outfile&idf=17", "community/detail_eight_lines.txt"},
    {"/lumennews/index.php?op=outfile&idf=23", "community/detail_entity_in_name.txt"},
    {"/lumennews/files/readme.txt", "tour/readme.txt"},
};

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(LUMEN_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::vector<std::string>> dumps(const std::string& out) {
    std::vector<std::vector<std::string>> found;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("screen ", 0) == 0)
            found.emplace_back();
        else if (!found.empty())
            found.back().push_back(line);
    }
    return found;
}

std::vector<std::string> windowLines(const std::vector<std::string>& dump) {
    std::vector<std::string> found;
    for (const std::string& line : dump)
        if (line.rfind("window ", 0) == 0) found.push_back(line);
    return found;
}

std::string titleOf(const std::string& windowLine) {
    size_t at = windowLine.find(" title=\"");
    return at == std::string::npos ? "" : windowLine.substr(at + 1);
}

namespace {

constexpr size_t kLineBytes = 160;

// One line of a dump as the report keeps it; never cut inside a character.
std::string kept(std::string line, bool layout) {
    static const std::regex picture(" pixmap=\\d+x\\d+");
    static const std::regex geometry(" (?:rect|outer|client)=-?\\d+,-?\\d+,\\d+x\\d+| extent=\\d+x\\d+");
    line = std::regex_replace(line, picture, " pixmap");
    if (!layout) line = std::regex_replace(line, geometry, "");
    if (line.size() <= kLineBytes) return line;
    size_t cut = kLineBytes;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    return line.substr(0, cut) + "...";
}

// A list's entry other than its current one: the readers' tests pin what
// the lists hold; the current entry shows what the keys did.
bool otherEntry(const std::string& line) {
    return line.find(" entry key=") != std::string::npos && line.find(" current text=\"") == std::string::npos;
}

// The settings file on one line, as the dump quotes its texts.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '\n' ? std::string("\\n") : c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

}  // namespace

FileState stateOf(const std::string& content) {
    return {content.size(), content.size() > kHeldBytes ? "" : content};
}

Scene::Scene(const std::string& settings) {
    root.installLogos();
    if (!settings.empty()) root.write(paths::settingsFile, settings);
    root.write("/media/hdd/readme.txt", "older copy\n");
    for (const Route& route : kRoutes) server.serve(route.target, fixture(route.fixture));
    server.serve("/lumennews/index.php", "");  // posted shouts; their reply is not read
}

LumenhostResult Scene::run(const std::string& keys, std::vector<std::string> extra, bool serverUp) {
    return runLumenhost(options(keys, std::move(extra), serverUp));
}

LumenhostRun Scene::options(const std::string& keys, std::vector<std::string> extra, bool serverUp) {
    before = files();
    LumenhostRun run;
    run.root = root.dir();
    run.keys = keys;
    run.connectTo = "news.corvane.example:80:127.0.0.1:" + std::to_string(serverUp ? server.port() : 1);
    run.extra = {"--wait-timeout", "40"};
    run.extra.insert(run.extra.end(), extra.begin(), extra.end());
    return run;
}

std::map<std::string, FileState> Scene::files() const {
    std::map<std::string, FileState> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root.dir())) {
        const std::string boxPath = entry.path().string().substr(root.dir().size());
        if (entry.is_regular_file())
            found[boxPath] = entry.file_size() > kHeldBytes ? FileState{entry.file_size(), ""} : stateOf(root.read(boxPath));
    }
    return found;
}

std::string Scene::report(const LumenhostResult& result, bool requests, bool layout) const {
    std::string out, lastWritten;
    std::map<std::string, std::vector<std::string>> written;  // a window's lines by its title, as last seen
    for (const std::vector<std::string>& lines : dumps(result.out)) {
        auto top = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& l) { return l.rfind("window ", 0) == 0; });
        if (top == lines.rend()) continue;
        std::vector<std::string> innermost;
        for (auto line = top.base(); line != lines.end() && top->rfind("window eMessageBox", 0) != 0; ++line)
            if (!otherEntry(*line)) innermost.push_back(kept(*line, layout));
        const std::string window = kept(*top, layout), title = titleOf(*top);
        auto seen = written.find(title);
        if (window == lastWritten && seen != written.end() && seen->second == innermost) continue;
        out += window + "\n";
        for (size_t i = 0; i < innermost.size(); ++i)
            if (seen == written.end() || seen->second.size() != innermost.size() || seen->second[i] != innermost[i])
                out += innermost[i] + "\n";
        written[title] = innermost;
        lastWritten = window;
    }
    out += "== exit " + std::to_string(result.exitCode) + (result.timedOut ? " (timed out)" : "") + "\n";
    for (const auto& request : server.requests()) out += requests ? "request " + request.path + "\n" : "";
    const std::map<std::string, FileState> after = files();
    for (const auto& [path, state] : after) {
        auto was = before.find(path);
        if (was != before.end() && was->second == state) continue;
        out += (was == before.end() ? "added " : "changed ") + path + " ";
        out += path == paths::settingsFile ? quoted(root.read(path)) : std::to_string(state.size);
        out += "\n";
    }
    for (const auto& file : before)
        if (!after.count(file.first)) out += "removed " + file.first + "\n";
    return out;
}

}  // namespace e2e
