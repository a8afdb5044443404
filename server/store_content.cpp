#include "server/store.h"

#include <algorithm>

#include "server/post_writer.h"
#include "server/schema.h"

// The community's content: news, shouts and their group commits, files, bans.
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

// The key of a new row, from the statement's RETURNING id.
int64_t returnedId(Statement& s) {
    int64_t id = s.step() ? s.integer(0) : 0;
    s.run();
    return id;
}

}  // namespace

std::vector<Article> Store::news(const std::string& lang) {
    std::vector<Article> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + articleColumns +
                               " FROM news WHERE lang = ? ORDER BY posted DESC, id DESC");
        s.bind(1, lang);
        while (s.step()) out.push_back(articleFrom(s));
    });
    return out;
}

std::optional<Article> Store::article(int64_t id) {
    std::optional<Article> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + articleColumns + " FROM news WHERE id = ?");
        s.bind(1, id);
        if (s.step()) out = articleFrom(s);
        s.run();
    });
    return out;
}

int64_t Store::addArticle(const Article& a) {
    int64_t id = 0;
    write([&](Connection& c) {
        Statement& s = c.query(a.id > 0 ? "INSERT INTO news (lang, title, author, posted, utc_offset, summary, body,"
                                          " link, reads, id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"
                                        : "INSERT INTO news (lang, title, author, posted, utc_offset, summary, body,"
                                          " link, reads) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
        s.bind(1, a.lang).bind(2, a.title).bind(3, a.author).bind(4, a.posted).bind(5, int64_t{a.utcOffset});
        s.bind(6, a.summary).bind(7, a.body).bind(8, a.link).bind(9, a.reads);
        if (a.id > 0) s.bind(10, a.id);
        id = returnedId(s);
        if (a.id > 0 && c.backend() == Backend::Postgres) afterKeyedInserts(c, communityTables()[1]);
    });
    return id;
}

bool Store::updateArticle(const Article& a) {
    bool changed = false;
    write([&](Connection& c) {
        Statement& s = c.query(
            "UPDATE news SET lang = ?, title = ?, author = ?, posted = ?, utc_offset = ?, summary = ?, body = ?,"
            " link = ? WHERE id = ?");
        s.bind(1, a.lang).bind(2, a.title).bind(3, a.author).bind(4, a.posted).bind(5, int64_t{a.utcOffset});
        s.bind(6, a.summary).bind(7, a.body).bind(8, a.link).bind(9, a.id);
        changed = s.run() > 0;
    });
    return changed;
}

bool Store::deleteArticle(int64_t id) {
    bool changed = false;
    write([&](Connection& c) { changed = c.query("DELETE FROM news WHERE id = ?").bind(1, id).run() > 0; });
    return changed;
}

std::vector<Shout> Store::latestShouts(int limit) {
    std::vector<Shout> out;
    read([&](Connection& c) {
        Statement& s =
            c.query("SELECT id, posted, nick, message, address FROM shouts ORDER BY posted DESC, id DESC LIMIT ?");
        s.bind(1, int64_t{limit});
        while (s.step()) out.push_back(Shout{s.integer(0), s.integer(1), s.text(2), s.text(3), s.text(4)});
    });
    return out;
}

int64_t Store::insertShout(Connection& c, const Shout& shout) {
    Statement& s = c.query("INSERT INTO shouts (posted, nick, message, address) VALUES (?, ?, ?, ?) RETURNING id");
    s.bind(1, shout.posted).bind(2, shout.nick).bind(3, shout.message).bind(4, shout.address);
    return returnedId(s);
}

int64_t Store::addShout(const Shout& shout) {
    int64_t id = 0;
    write([&](Connection& c) { id = insertShout(c, shout); });
    return id;
}

bool Store::deleteShout(int64_t id) {
    bool changed = false;
    write([&](Connection& c) { changed = c.query("DELETE FROM shouts WHERE id = ?").bind(1, id).run() > 0; });
    return changed;
}

void Store::postShout(const Shout& shout, std::chrono::milliseconds pause, PostDone done) {
    std::lock_guard<std::mutex> guard(postsLock);
    if (!posts) return done(PostOutcome::Failed);
    posts->post(shout, pause.count(), std::move(done));
}

void Store::finishPosts() {
    std::unique_ptr<PostWriter> stopping;
    {
        std::lock_guard<std::mutex> guard(postsLock);
        stopping = std::move(posts);
    }
}

std::vector<PostOutcome> Store::commitPosts(const std::vector<std::pair<Shout, int64_t>>& group) {
    std::vector<PostOutcome> outcomes;
    write([&](Connection& c) {
        outcomes.assign(group.size(), PostOutcome::Stored);
        // Turns are taken in address order, so that two servers' groups
        // lock the same rows in the same order and cannot deadlock.
        std::vector<size_t> byAddress(group.size());
        for (size_t i = 0; i < group.size(); ++i) byAddress[i] = i;
        std::stable_sort(byAddress.begin(), byAddress.end(),
                         [&](size_t a, size_t b) { return group[a].first.address < group[b].first.address; });
        const int64_t now = nowMs();
        for (size_t i : byAddress) {
            const auto& [shout, pauseMs] = group[i];
            if (pauseMs <= 0) continue;
            // The address's turn, taken only when its last post is old
            // enough: one statement, so two servers cannot both take it.
            Statement& turn = c.query(
                "INSERT INTO shout_turns (address, posted_ms) VALUES (?, ?) ON CONFLICT (address)"
                " DO UPDATE SET posted_ms = excluded.posted_ms WHERE shout_turns.posted_ms <= ?");
            turn.bind(1, shout.address).bind(2, now).bind(3, now - pauseMs);
            if (turn.run() == 0) outcomes[i] = PostOutcome::TooSoon;
        }
        for (size_t i = 0; i < group.size(); ++i)
            if (outcomes[i] == PostOutcome::Stored) insertShout(c, group[i].first);
    });
    return outcomes;
}

int64_t Store::deleteShoutsBy(const std::string& nick) {
    int64_t deleted = 0;
    write([&](Connection& c) {
        // Compared with the ban key in C++, so both follow one rule of spelling.
        std::vector<int64_t> ids;
        Statement& all = c.query("SELECT id, nick FROM shouts");
        while (all.step())
            if (banKey(all.text(1)) == banKey(nick)) ids.push_back(all.integer(0));
        for (int64_t id : ids) deleted += c.query("DELETE FROM shouts WHERE id = ?").bind(1, id).run();
    });
    return deleted;
}

bool Store::categoryExists(const std::string& name) {
    bool found = false;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT 1 FROM categories WHERE name = ?");
        s.bind(1, name);
        found = s.step();
        s.run();
    });
    return found;
}

std::vector<std::string> Store::categories() {
    std::vector<std::string> out;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT name FROM categories ORDER BY position");
        while (s.step()) out.push_back(s.text(0));
    });
    return out;
}

std::vector<FileEntry> Store::files(const std::string& category) {
    std::vector<FileEntry> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + fileColumns + " FROM files WHERE category = ? ORDER BY id");
        s.bind(1, category);
        while (s.step()) out.push_back(fileFrom(s));
    });
    return out;
}

std::optional<FileEntry> Store::file(int64_t id) {
    std::optional<FileEntry> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + fileColumns + " FROM files WHERE id = ?");
        s.bind(1, id);
        if (s.step()) out = fileFrom(s);
        s.run();
    });
    return out;
}

std::optional<FileEntry> Store::fileNamed(const std::string& name) {
    std::optional<FileEntry> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + fileColumns + " FROM files WHERE name = ?");
        s.bind(1, name);
        if (s.step()) out = fileFrom(s);
        s.run();
    });
    return out;
}

int64_t Store::addFile(const FileEntry& f) {
    int64_t id = 0;
    write([&](Connection& c) {
        Statement& s = c.query(f.id > 0 ? "INSERT INTO files (category, name, title, uploader, uploaded, size,"
                                          " downloads, description, id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"
                                        : "INSERT INTO files (category, name, title, uploader, uploaded, size,"
                                          " downloads, description) VALUES (?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
        s.bind(1, f.category).bind(2, f.name).bind(3, f.title).bind(4, f.uploader).bind(5, f.uploaded);
        s.bind(6, f.size).bind(7, f.downloads).bind(8, f.description);
        if (f.id > 0) s.bind(9, f.id);
        id = returnedId(s);
        if (f.id > 0 && c.backend() == Backend::Postgres) afterKeyedInserts(c, communityTables()[3]);
    });
    return id;
}

bool Store::removeFile(int64_t id) {
    bool changed = false;
    write([&](Connection& c) { changed = c.query("DELETE FROM files WHERE id = ?").bind(1, id).run() > 0; });
    return changed;
}

bool Store::ban(const std::string& nick) {
    bool changed = false;
    write([&](Connection& c) {
        changed = c.query("INSERT INTO bans (nick) VALUES (?) ON CONFLICT (nick) DO NOTHING").bind(1, banKey(nick)).run() >
                  0;
    });
    return changed;
}

bool Store::unban(const std::string& nick) {
    bool changed = false;
    write([&](Connection& c) { changed = c.query("DELETE FROM bans WHERE nick = ?").bind(1, banKey(nick)).run() > 0; });
    return changed;
}

std::vector<std::string> Store::bans() {
    std::vector<std::string> out;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT nick FROM bans ORDER BY nick");
        while (s.step()) out.push_back(s.text(0));
    });
    return out;
}

}  // namespace srv
