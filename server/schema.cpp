#include "server/schema.h"

#include <vector>

namespace srv {

namespace {

// Migration i takes a file from version i to i + 1. Never edit one that
// has shipped; add the next.
const std::vector<const char*> migrations = {
    // 1: news, shouts, the download area, bans and counters.
    "CREATE TABLE news ("
    "  id INTEGER PRIMARY KEY,"
    "  lang TEXT NOT NULL CHECK (lang IN ('en', 'it')),"
    "  title TEXT NOT NULL,"          // HTML, one line
    "  author TEXT NOT NULL,"         // HTML, one line
    "  posted INTEGER NOT NULL,"      // seconds since 1970, UTC
    "  utc_offset INTEGER NOT NULL,"  // minutes east of UTC, for the shown time
    "  summary TEXT NOT NULL,"        // HTML
    "  body TEXT NOT NULL,"           // HTML
    "  link TEXT NOT NULL DEFAULT '',"  // set: the item points elsewhere
    "  reads INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX news_by_lang ON news (lang, posted);"
    "CREATE TABLE shouts ("
    "  id INTEGER PRIMARY KEY,"
    "  posted INTEGER NOT NULL,"
    "  nick TEXT NOT NULL,"      // plain text
    "  message TEXT NOT NULL,"   // plain text
    "  address TEXT NOT NULL);"
    "CREATE TABLE categories (name TEXT PRIMARY KEY, position INTEGER NOT NULL);"
    "INSERT INTO categories VALUES ('Cam', 1), ('Keys', 2), ('Plugins', 3), ('Script', 4),"
    "  ('Settings', 5), ('Skins', 6);"
    "CREATE TABLE files ("
    "  id INTEGER PRIMARY KEY,"
    "  category TEXT NOT NULL REFERENCES categories (name),"
    "  name TEXT NOT NULL UNIQUE,"    // in the files folder
    "  title TEXT NOT NULL,"          // HTML, one line
    "  uploader TEXT NOT NULL,"       // HTML, one line
    "  uploaded TEXT NOT NULL,"       // YYYY-MM-DD
    "  size INTEGER NOT NULL,"
    "  downloads INTEGER NOT NULL DEFAULT 0,"
    "  description TEXT NOT NULL);"  // HTML, lines
    "CREATE TABLE bans (nick TEXT PRIMARY KEY);"  // lower case
    "CREATE TABLE counters (name TEXT PRIMARY KEY, value INTEGER NOT NULL);"
    "INSERT INTO counters VALUES ('plugin_requests', 0);"
    "CREATE TABLE visits (day TEXT NOT NULL, address TEXT NOT NULL, PRIMARY KEY (day, address));",
    // 2: the operator's web page: counts per day for its chart, its log,
    // its settings (the password hash).
    "CREATE TABLE day_counts (day TEXT NOT NULL, name TEXT NOT NULL, value INTEGER NOT NULL,"
    "  PRIMARY KEY (day, name));"
    "CREATE TABLE operator_log ("
    "  id INTEGER PRIMARY KEY,"
    "  at INTEGER NOT NULL,"        // seconds since 1970, UTC
    "  address TEXT NOT NULL,"
    "  action TEXT NOT NULL);"      // plain text
    "CREATE TABLE operator_settings (name TEXT PRIMARY KEY, value TEXT NOT NULL);",
};

}  // namespace

int schemaVersion() { return static_cast<int>(migrations.size()); }

void checkDatabase(Database& db, const std::string& file) {
    int64_t version = 0;
    try {
        version = db.scalar("PRAGMA user_version");
    } catch (const DatabaseError& e) {
        throw DatabaseError(file + " is not a usable database (" + e.what() + ")");
    }
    // SQLite takes an empty file, or another program's database, as
    // version 0: adding our tables to it would touch what is not ours.
    if (version == 0)
        throw DatabaseError(file + " is not a lumen-server database (create one with: lumen-server init --db FILE)");
    if (version > schemaVersion())
        throw DatabaseError(file + " has schema version " + std::to_string(version) + ", newer than this server's " +
                            std::to_string(schemaVersion()) + "; use a newer lumen-server");
    std::string verdict;
    try {
        Statement check = db.prepare("PRAGMA quick_check");
        verdict = check.step() ? check.text(0) : "no answer";
    } catch (const DatabaseError& e) {
        verdict = e.what();
    }
    for (char& c : verdict)
        if (c == '\n') c = ' ';
    if (verdict != "ok") throw DatabaseError(file + " is damaged (" + verdict + ")");
}

void prepareDatabase(Database& db) {
    db.exec("PRAGMA journal_mode = WAL");
    // An acknowledged shout or upload must survive a power cut.
    db.exec("PRAGMA synchronous = FULL");
    db.exec("PRAGMA foreign_keys = ON");
    for (int version = static_cast<int>(db.scalar("PRAGMA user_version")); version < schemaVersion(); ++version) {
        Transaction t(db);
        db.exec(migrations[static_cast<size_t>(version)]);
        db.exec("PRAGMA user_version = " + std::to_string(version + 1));
        t.commit();
    }
}

}  // namespace srv
