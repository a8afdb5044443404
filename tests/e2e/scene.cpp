#include "tests/e2e/scene.h"
#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>
#include <fstream>
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

namespace {

void listFiles(const std::string& dir, const std::string& shown, std::vector<std::string>& out) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name, path = dir + "/" + name;
        struct stat st;
        if (name == "." || name == ".." || lstat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode))
            listFiles(path, shown + "/" + name, out);
        else
            out.push_back(shown + "/" + name + " " + std::to_string(st.st_size));
    }
    closedir(d);
}

}  // namespace

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
    LumenhostRun run;
    run.root = root.dir();
    run.keys = keys;
    run.connectTo = "news.corvane.example:80:127.0.0.1:" + std::to_string(serverUp ? server.port() : 1);
    run.extra = {"--wait-timeout", "40"};
    run.extra.insert(run.extra.end(), extra.begin(), extra.end());
    return run;
}

std::string Scene::report(const LumenhostResult& result, bool requests) const {
    std::string out;
    std::istringstream dumps(result.out);
    int entries = 0;  // in a row; the list line gives their count
    for (std::string line; std::getline(dumps, line);) {
        entries = line.find(" entry key=") == std::string::npos ? 0 : entries + 1;
        if (entries <= 20)
            out += (line.size() > 4096 ? line.substr(0, 2048) + "... (" + std::to_string(line.size()) + " bytes)" : line) + "\n";
    }
    out += "== exit " + std::to_string(result.exitCode) + (result.timedOut ? " (timed out)" : "") + "\n== requests\n";
    for (const auto& request : server.requests()) out += requests ? request.path + "\n" : "";
    out += "== files\n";
    std::vector<std::string> files;
    listFiles(root.dir(), "", files);
    std::sort(files.begin(), files.end());
    for (const auto& file : files) out += file + "\n";
    return out + "== settings\n" + root.read(paths::settingsFile);
}

}  // namespace e2e
