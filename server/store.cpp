#include "server/store.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <ctime>

#include "server/schema.h"

namespace srv {

namespace {

const char* const articleColumns = "id, lang, title, author, posted, utc_offset, summary, body, link, reads";
const char* const fileColumns = "id, category, name, title, uploader, uploaded, size, downloads, description";

Article articleFrom(const Statement& s) {
    Article a;
    a.id = s.integer(0);
    a.lang = s.text(1);
    a.title = s.text(2);
    a.author = s.text(3);
    a.posted = s.integer(4);
    a.utcOffset = static_cast<int>(s.integer(5));
    a.summary = s.text(6);
    a.body = s.text(7);
    a.link = s.text(8);
    a.reads = s.integer(9);
    return a;
}

FileEntry fileFrom(const Statement& s) {
    FileEntry f;
    f.id = s.integer(0);
    f.category = s.text(1);
    f.name = s.text(2);
    f.title = s.text(3);
    f.uploader = s.text(4);
    f.uploaded = s.text(5);
    f.size = s.integer(6);
    f.downloads = s.integer(7);
    f.description = s.text(8);
    return f;
}


bool exists(const std::string& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0;
}

}  // namespace

std::string banKey(const std::string& nick) {
    std::string key = nick;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

std::string visitorDay() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char day[16];
    std::strftime(day, sizeof day, "%Y-%m-%d", &tm);
    return day;
}

Store::Store(const std::string& file, bool create) : db(file, create) {
    if (!create) checkDatabase(db, file);
    prepareDatabase(db);
}

std::unique_ptr<Store> Store::open(const std::string& file) {
    if (!exists(file)) throw DatabaseError("no database " + file + " (create one with: lumen-server init --db FILE)");
    return std::make_unique<Store>(file, false);
}

std::unique_ptr<Store> Store::create(const std::string& file) {
    if (exists(file)) throw DatabaseError(file + " exists already; init creates new databases only");
    return std::make_unique<Store>(file, true);
}

std::vector<Article> Store::news(const std::string& lang) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare(std::string("SELECT ") + articleColumns +
                             " FROM news WHERE lang = ? ORDER BY posted DESC, id DESC");
    s.bind(1, lang);
    std::vector<Article> out;
    while (s.step()) out.push_back(articleFrom(s));
    return out;
}

std::optional<Article> Store::articleLocked(int64_t id) {
    Statement s = db.prepare(std::string("SELECT ") + articleColumns + " FROM news WHERE id = ?");
    s.bind(1, id);
    if (!s.step()) return std::nullopt;
    return articleFrom(s);
}

std::optional<Article> Store::article(int64_t id) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    return articleLocked(id);
}

int64_t Store::insertArticle(const Article& a) {
    Statement s = db.prepare(
        "INSERT INTO news (id, lang, title, author, posted, utc_offset, summary, body, link, reads)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (a.id > 0) s.bind(1, a.id);
    s.bind(2, a.lang).bind(3, a.title).bind(4, a.author).bind(5, a.posted).bind(6, int64_t{a.utcOffset});
    s.bind(7, a.summary).bind(8, a.body).bind(9, a.link).bind(10, a.reads);
    s.run();
    return db.lastInsertId();
}

int64_t Store::addArticle(const Article& article) {
    int64_t id = 0;
    write([&] { id = insertArticle(article); });
    return id;
}

bool Store::updateArticle(const Article& a) {
    bool changed = false;
    write([&] {
        Statement s = db.prepare(
            "UPDATE news SET lang = ?, title = ?, author = ?, posted = ?, utc_offset = ?, summary = ?, body = ?,"
            " link = ? WHERE id = ?");
        s.bind(1, a.lang).bind(2, a.title).bind(3, a.author).bind(4, a.posted).bind(5, int64_t{a.utcOffset});
        s.bind(6, a.summary).bind(7, a.body).bind(8, a.link).bind(9, a.id);
        s.run();
        changed = db.changes() > 0;
    });
    return changed;
}

bool Store::deleteArticle(int64_t id) { return changeRow("DELETE FROM news WHERE id = ?", id); }

void Store::countRead(int64_t id) {
    write([&] { db.prepare("UPDATE news SET reads = reads + 1 WHERE id = ?").bind(1, id).run(); });
}

std::vector<Shout> Store::latestShouts(int limit) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare(
        "SELECT id, posted, nick, message, address FROM shouts ORDER BY posted DESC, id DESC LIMIT ?");
    s.bind(1, int64_t{limit});
    std::vector<Shout> out;
    while (s.step()) out.push_back(Shout{s.integer(0), s.integer(1), s.text(2), s.text(3), s.text(4)});
    return out;
}

int64_t Store::addShout(const Shout& shout) {
    int64_t id = 0;
    write([&] {
        Statement s = db.prepare("INSERT INTO shouts (posted, nick, message, address) VALUES (?, ?, ?, ?)");
        s.bind(1, shout.posted).bind(2, shout.nick).bind(3, shout.message).bind(4, shout.address).run();
        id = db.lastInsertId();
    });
    return id;
}

bool Store::deleteShout(int64_t id) { return changeRow("DELETE FROM shouts WHERE id = ?", id); }

int64_t Store::deleteShoutsBy(const std::string& nick) {
    int64_t deleted = 0;
    write([&] {
        // Compared with the ban key in C++, so both follow one rule of letter case.
        std::vector<int64_t> ids;
        Statement s = db.prepare("SELECT id, nick FROM shouts");
        while (s.step())
            if (banKey(s.text(1)) == banKey(nick)) ids.push_back(s.integer(0));
        for (int64_t id : ids) {
            db.prepare("DELETE FROM shouts WHERE id = ?").bind(1, id).run();
            deleted += db.changes();
        }
    });
    return deleted;
}

bool Store::categoryExists(const std::string& name) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare("SELECT 1 FROM categories WHERE name = ?");
    s.bind(1, name);
    return s.step();
}

std::vector<std::string> Store::categories() {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare("SELECT name FROM categories ORDER BY position");
    std::vector<std::string> out;
    while (s.step()) out.push_back(s.text(0));
    return out;
}

std::vector<FileEntry> Store::filesWhere(const std::string& where, const std::function<void(Statement&)>& bind) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare(std::string("SELECT ") + fileColumns + " FROM files WHERE " + where + " ORDER BY id");
    bind(s);
    std::vector<FileEntry> out;
    while (s.step()) out.push_back(fileFrom(s));
    return out;
}

std::vector<FileEntry> Store::files(const std::string& category) {
    return filesWhere("category = ?", [&](Statement& s) { s.bind(1, category); });
}

std::optional<FileEntry> Store::file(int64_t id) {
    auto found = filesWhere("id = ?", [&](Statement& s) { s.bind(1, id); });
    if (found.empty()) return std::nullopt;
    return found.front();
}

std::optional<FileEntry> Store::fileNamed(const std::string& name) {
    auto found = filesWhere("name = ?", [&](Statement& s) { s.bind(1, name); });
    if (found.empty()) return std::nullopt;
    return found.front();
}

int64_t Store::insertFile(const FileEntry& f) {
    Statement s = db.prepare(
        "INSERT INTO files (id, category, name, title, uploader, uploaded, size, downloads, description)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (f.id > 0) s.bind(1, f.id);
    s.bind(2, f.category).bind(3, f.name).bind(4, f.title).bind(5, f.uploader).bind(6, f.uploaded);
    s.bind(7, f.size).bind(8, f.downloads).bind(9, f.description);
    s.run();
    return db.lastInsertId();
}

int64_t Store::addFile(const FileEntry& file) {
    int64_t id = 0;
    write([&] { id = insertFile(file); });
    return id;
}

bool Store::removeFile(int64_t id) { return changeRow("DELETE FROM files WHERE id = ?", id); }

void Store::countDownload(int64_t id) {
    write([&] { db.prepare("UPDATE files SET downloads = downloads + 1 WHERE id = ?").bind(1, id).run(); });
}

bool Store::ban(const std::string& nick) {
    return changeRow("INSERT INTO bans (nick) VALUES (?) ON CONFLICT (nick) DO NOTHING", banKey(nick));
}

bool Store::unban(const std::string& nick) { return changeRow("DELETE FROM bans WHERE nick = ?", banKey(nick)); }

std::vector<std::string> Store::bans() {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare("SELECT nick FROM bans ORDER BY nick");
    std::vector<std::string> out;
    while (s.step()) out.push_back(s.text(0));
    return out;
}

Totals Store::totals() {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Totals t;
    t.news = db.scalar("SELECT COUNT(*) FROM news");
    t.files = db.scalar("SELECT COUNT(*) FROM files");
    t.shouts = db.scalar("SELECT COUNT(*) FROM shouts");
    Statement news = db.prepare("SELECT title, reads FROM news ORDER BY reads DESC, id LIMIT 1");
    if (news.step()) {
        t.topNews = news.text(0);
        t.topNewsReads = news.integer(1);
    }
    Statement file = db.prepare("SELECT name, downloads FROM files ORDER BY downloads DESC, id LIMIT 1");
    if (file.step()) {
        t.topFile = file.text(0);
        t.topFileDownloads = file.integer(1);
    }
    return t;
}

int64_t Store::counter(const std::string& name) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare("SELECT value FROM counters WHERE name = ?");
    s.bind(1, name);
    return s.step() ? s.integer(0) : 0;
}

void Store::setCounter(const std::string& name, int64_t value) {
    write([&] {
        Statement s = db.prepare(
            "INSERT INTO counters (name, value) VALUES (?, ?) ON CONFLICT (name) DO UPDATE SET value = excluded.value");
        s.bind(1, name).bind(2, value).run();
    });
}

void Store::visit(const std::string& day, const std::string& address) {
    write([&] {
        Statement s =
            db.prepare("INSERT INTO visits (day, address) VALUES (?, ?) ON CONFLICT (day, address) DO NOTHING");
        s.bind(1, day).bind(2, address).run();
    });
}

std::vector<std::string> Store::visitors(const std::string& day) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare("SELECT address FROM visits WHERE day = ?");
    s.bind(1, day);
    std::vector<std::string> out;
    while (s.step()) out.push_back(s.text(0));
    return out;
}

void Store::addToDay(const std::string& day, const std::string& name, int64_t by) {
    write([&] {
        Statement s = db.prepare(
            "INSERT INTO day_counts (day, name, value) VALUES (?, ?, ?)"
            " ON CONFLICT (day, name) DO UPDATE SET value = day_counts.value + excluded.value");
        s.bind(1, day).bind(2, name).bind(3, by).run();
    });
}

std::vector<std::pair<std::string, int64_t>> Store::dayCounts(const std::string& name, const std::string& firstDay) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare("SELECT day, value FROM day_counts WHERE name = ? AND day >= ? ORDER BY day");
    s.bind(1, name).bind(2, firstDay);
    std::vector<std::pair<std::string, int64_t>> out;
    while (s.step()) out.emplace_back(s.text(0), s.integer(1));
    return out;
}

void Store::logOperatorAction(const OperatorAction& entry) {
    write([&] {
        Statement s = db.prepare("INSERT INTO operator_log (at, address, action) VALUES (?, ?, ?)");
        s.bind(1, entry.at).bind(2, entry.address).bind(3, entry.action).run();
    });
}

std::vector<OperatorAction> Store::operatorLog(int limit) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare("SELECT at, address, action FROM operator_log ORDER BY id DESC LIMIT ?");
    s.bind(1, int64_t{limit});
    std::vector<OperatorAction> out;
    while (s.step()) out.push_back(OperatorAction{s.integer(0), s.text(1), s.text(2)});
    return out;
}

std::string Store::setting(const std::string& name) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    Statement s = db.prepare("SELECT value FROM operator_settings WHERE name = ?");
    s.bind(1, name);
    return s.step() ? s.text(0) : "";
}

void Store::setSetting(const std::string& name, const std::string& value) {
    write([&] {
        Statement s = db.prepare(
            "INSERT INTO operator_settings (name, value) VALUES (?, ?)"
            " ON CONFLICT (name) DO UPDATE SET value = excluded.value");
        s.bind(1, name).bind(2, value).run();
    });
}

int64_t Store::dataVersion() {
    std::lock_guard<std::recursive_mutex> guard(lock);
    return db.scalar("PRAGMA data_version");
}

}  // namespace srv
