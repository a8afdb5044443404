#include "server/tools.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "server/files_folder.h"
#include "server/options.h"
#include "server/replies.h"
#include "server/sample_import.h"
#include "server/site.h"
#include "server/store.h"
#include "server/store_copy.h"
#include "server/text_codec.h"
#include "server/web/admin_password.h"

namespace srv {

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A text typed on the command line, as HTML on one line.
std::string oneLineHtml(const Arguments& args, const std::string& key) {
    std::string text = args.get(key);
    if (!xmlSafe(text) || hasControlBytes(text) || text.empty() || text.size() > 200)
        throw UsageError(key + " must be 1 to 200 bytes of UTF-8 text on one line");
    return htmlEscape(text);
}

// A text of lines that goes into a feed or a page: the characters XML
// forbids would break every box's news.
std::string linesOf(const std::string& key, std::string text) {
    if (!xmlSafe(text))
        throw UsageError(key + " must be UTF-8 text without control characters (tab and line breaks allowed)");
    return text;
}

// A nickname to ban or unban: one that some post could carry.
std::string nickname(const Arguments& args) {
    std::string nick = args.get("--nick");
    if (!validUtf8(nick) || banKey(nick).empty()) throw UsageError("--nick must be a nickname in UTF-8, not blank");
    return nick;
}

std::string lang(const Arguments& args) {
    std::string l = args.get("--lang");
    if (l != "en" && l != "it") throw UsageError("--lang must be en or it");
    return l;
}

// "YYYY-MM-DD HH:MM" at the given offset, or now.
void when(const Arguments& args, Article& a) {
    if (args.has("--utc-offset")) {
        a.utcOffset = std::atoi(args.get("--utc-offset").c_str());
        if (a.utcOffset < -720 || a.utcOffset > 840) throw UsageError("--utc-offset is minutes, -720 to 840");
    }
    if (!args.has("--date")) return;
    std::tm tm{};
    const std::string date = args.get("--date");  // strptime's end points into it
    const char* end = strptime(date.c_str(), "%Y-%m-%d %H:%M", &tm);
    if (!end || *end) throw UsageError("--date must read YYYY-MM-DD HH:MM");
    a.posted = static_cast<int64_t>(timegm(&tm)) - int64_t{a.utcOffset} * 60;
}

void fillArticle(const Arguments& args, Article& a) {
    if (args.has("--lang")) a.lang = lang(args);
    if (args.has("--title")) a.title = oneLineHtml(args, "--title");
    if (args.has("--author")) a.author = oneLineHtml(args, "--author");
    if (args.has("--summary")) a.summary = htmlEscape(linesOf("--summary", args.get("--summary")));
    if (args.has("--body")) a.body = linesOf("--body", readFile(args.get("--body")));
    if (args.has("--link")) {
        a.link = args.get("--link");
        if (!a.link.empty() && !isWebAddress(a.link))
            throw UsageError("--link must be an http:// or https:// address without blanks, quotes or control bytes");
    }
    when(args, a);
}

const std::set<std::string> newsOptions = {"--db", "--id", "--lang", "--title", "--author", "--summary",
                                           "--body", "--link", "--date", "--utc-offset"};

using Tool = std::function<std::string(const Arguments&, Store&)>;

struct Command {
    std::set<std::string> options;
    Tool run;
};

std::string statisticsText(Store& store) {
    Statistics stats;
    stats.pluginRequests = store.counter(pluginRequestCounter);
    stats.visitorsToday = static_cast<int64_t>(store.visitors(visitorDay()).size());
    stats.totals = store.totals();
    std::string text = statisticsReply(stats);
    text.pop_back();
    return text;
}

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"news-add", {newsOptions, [](const Arguments& args, Store& store) {
             Article a;
             a.posted = std::time(nullptr);
             a.lang = lang(args);
             a.title = oneLineHtml(args, "--title");
             a.author = oneLineHtml(args, "--author");
             args.get("--body");
             fillArticle(args, a);
             return "added news " + std::to_string(store.addArticle(a)) + " (" + a.lang + ")";
         }}},
        {"news-edit", {newsOptions, [](const Arguments& args, Store& store) {
             auto a = store.article(args.id());
             if (!a) throw std::runtime_error("no news " + std::to_string(args.id()));
             fillArticle(args, *a);
             store.updateArticle(*a);
             return "changed news " + std::to_string(a->id);
         }}},
        {"news-delete", {{"--db", "--id"}, [](const Arguments& args, Store& store) {
             if (!store.deleteArticle(args.id())) throw std::runtime_error("no news " + std::to_string(args.id()));
             return "deleted news " + std::to_string(args.id());
         }}},
        {"news-list", {{"--db", "--lang"}, [](const Arguments& args, Store& store) {
             std::string out;
             for (const Article& a : store.news(lang(args)))
                 out += std::to_string(a.id) + "\t" + std::to_string(a.reads) + "\t" + a.title + "\n";
             return out + "listed news (id, reads, title)";
         }}},
        {"file-add", {{"--db", "--files", "--category", "--file", "--title", "--uploader", "--description", "--date"},
                      [](const Arguments& args, Store& store) {
             FileEntry f;
             f.category = args.get("--category");
             if (!store.categoryExists(f.category))
                 throw UsageError("no category " + f.category + " (Cam, Keys, Plugins, Script, Settings, Skins)");
             std::string source = args.get("--file");
             f.name = source.substr(source.rfind('/') + 1);
             if (!isSafeFileName(f.name) || f.name.front() == '.' || hasControlBytes(f.name) || !validUtf8(f.name))
                 throw UsageError("unusable file name " + f.name);
             if (store.fileNamed(f.name)) throw std::runtime_error("a file named " + f.name + " exists already");
             f.title = oneLineHtml(args, "--title");
             f.uploader = oneLineHtml(args, "--uploader");
             f.description = htmlEscape(linesOf("--description", args.get("--description", "")));
             char day[16];
             std::time_t now = std::time(nullptr);
             std::tm tm{};
             gmtime_r(&now, &tm);
             std::strftime(day, sizeof day, "%Y-%m-%d", &tm);
             f.uploaded = args.get("--date", day);
             const char* end = strptime(f.uploaded.c_str(), "%Y-%m-%d", &tm);
             if (!end || *end) throw UsageError("--date must read YYYY-MM-DD");
             f.size = addToFilesFolder(source, filesDirOf(args.get("--db"), args.get("--files", "")), f.name);
             return "added file " + std::to_string(store.addFile(f)) + " (" + f.name + ") to " + f.category;
         }}},
        {"file-remove", {{"--db", "--files", "--id"}, [](const Arguments& args, Store& store) {
             auto f = store.file(args.id());
             if (!f) throw std::runtime_error("no file " + std::to_string(args.id()));
             store.removeFile(f->id);
             ::unlink((filesDirOf(args.get("--db"), args.get("--files", "")) + "/" + f->name).c_str());
             return "removed file " + std::to_string(f->id) + " (" + f->name + ")";
         }}},
        {"shouts", {{"--db"}, [](const Arguments&, Store& store) {
             std::string out;
             for (const Shout& s : store.latestShouts(1000))
                 out += std::to_string(s.id) + "\t" + s.address + "\t" + s.nick + "\t" + s.message + "\n";
             return out + "listed shouts (id, address, nickname, message), newest first";
         }}},
        {"shout-delete", {{"--db", "--id"}, [](const Arguments& args, Store& store) {
             if (!store.deleteShout(args.id())) throw std::runtime_error("no shout " + std::to_string(args.id()));
             return "deleted shout " + std::to_string(args.id());
         }}},
        {"ban", {{"--db", "--nick"}, [](const Arguments& args, Store& store) {
             std::string nick = nickname(args);
             return (store.ban(nick) ? "banned " : "already banned: ") + nick;
         }}},
        {"unban", {{"--db", "--nick"}, [](const Arguments& args, Store& store) {
             std::string nick = nickname(args);
             if (!store.unban(nick)) throw std::runtime_error(nick + " was not banned");
             return "unbanned " + nick;
         }}},
        {"stats", {{"--db"}, [](const Arguments&, Store& store) { return statisticsText(store); }}},
        {"admin-password", {{"--db"}, [](const Arguments&, Store& store) {
             try {
                 return web::setPasswordFrom(std::cin, store);
             } catch (const std::invalid_argument& e) {
                 throw UsageError(e.what());
             }
         }}},
    };
    return table;
}

int init(int argc, const char* const* argv) {
    Arguments args(argc, argv, {"--db", "--sample", "--files"});
    std::string db = args.get("--db");
    auto store = Store::create(db);
    if (!args.has("--sample")) {
        std::printf("created %s\n", db.c_str());
        return 0;
    }
    try {
        ImportCount n = importSample(*store, args.get("--sample"), filesDirOf(db, args.get("--files", "")));
        std::printf("created %s with %d news, %d shouts and %d files from %s\n", db.c_str(), n.news, n.shouts,
                    n.files, args.get("--sample").c_str());
    } catch (...) {
        // A half-made database is worth nothing; the next init may start afresh.
        store.reset();
        if (isPostgresUrl(db)) {
            std::fprintf(stderr, "lumen-server init: the schema stays in %s; drop its tables before trying again\n",
                         db.c_str());
        } else {
            for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((db + suffix).c_str());
        }
        throw;
    }
    return 0;
}

int copy(int argc, const char* const* argv) {
    Arguments args(argc, argv, {"--from", "--to"});
    auto from = Store::open(args.get("--from"));
    auto to = Store::create(args.get("--to"));
    CopyCount n = copyCommunity(*from, *to);
    std::printf("copied %lld rows of %d tables from %s to %s, checked row for row\n", static_cast<long long>(n.rows),
                n.tables, from->name().c_str(), to->name().c_str());
    return 0;
}

}  // namespace

const char* toolsUsage() {
    return "Usage: lumen-server COMMAND --db FILE [OPTION]...\n"
           "FILE is an SQLite file, or a postgresql:// URL for PostgreSQL.\n"
           "  init --db FILE [--sample DIR] [--files DIR]   create a database\n"
           "  copy --from FILE --to FILE                    move a community to a new database\n"
           "  serve --db FILE [...]                         serve it (serve --help)\n"
           "  news-add --db FILE --lang en|it --title T --author A --body PAGE.html\n"
           "           [--summary TEXT] [--date \"YYYY-MM-DD HH:MM\"] [--utc-offset MIN] [--link URL]\n"
           "  news-edit --db FILE --id N [the options of news-add]\n"
           "  news-delete --db FILE --id N\n"
           "  news-list --db FILE --lang en|it\n"
           "  file-add --db FILE --category C --file PATH --title T --uploader U\n"
           "           [--description TEXT] [--date YYYY-MM-DD] [--files DIR]\n"
           "  file-remove --db FILE --id N [--files DIR]\n"
           "  shouts --db FILE            list the shouts\n"
           "  shout-delete --db FILE --id N\n"
           "  ban --db FILE --nick NICK   refuse the shouts of NICK (any case, width, accent form)\n"
           "  unban --db FILE --nick NICK\n"
           "  stats --db FILE             the nine statistics lines\n"
           "  admin-password --db FILE    set the operator's web password (one line on standard input)\n";
}

int runTool(const char* command, int argc, const char* const* argv) {
    try {
        if (std::string(command) == "init") return init(argc, argv);
        if (std::string(command) == "copy") return copy(argc, argv);
        auto found = commands().find(command);
        if (found == commands().end()) throw UsageError(std::string("unknown command ") + command);
        Arguments args(argc, argv, found->second.options);
        auto store = Store::open(args.get("--db"));
        std::printf("%s\n", found->second.run(args, *store).c_str());
        return 0;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "lumen-server %s: %s\n", command, e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumen-server %s: %s\n", command, e.what());
        return 1;
    }
}

}  // namespace srv
