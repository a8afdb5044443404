// The database layout: one list of numbered migrations for both back ends,
// with the differences between their SQL dialects kept in schema.cpp.
// SQLite keeps the version in PRAGMA user_version, PostgreSQL in the table
// lumen_schema.
#pragma once
#include <string>
#include <vector>

#include "server/connection.h"

namespace srv {

// The version this program writes; a newer database is refused.
int schemaVersion();

// The version of the database on `c`: 0 for a new or foreign one.
int databaseVersion(Connection& c);

// True when the database holds nothing yet (no table at all).
bool isEmptyDatabase(Connection& c);

// Checks an existing database before anything is written to it: it must be
// sound, this server's (its tables and columns as the version says), of
// this or an older version, and writable. Throws DatabaseError with one
// line saying what is wrong; the database is left as it was.
void checkDatabase(Connection& c);

// Durability settings, then every migration the database lacks, each in
// its own transaction.
void prepareDatabase(Connection& c);

// A table as the copy tool moves it: its columns, the integer ones marked.
struct TableLayout {
    const char* name;
    const char* columns;     // "a, b, c"
    const char* integers;    // the integer columns, as a set of names " a c "
    const char* order;       // a total order, for row-by-row comparison
    const char* identity;    // the generated key column, or nullptr
};
// Every table of the community, parents first.
const std::vector<TableLayout>& communityTables();

// Brings the generated key of `table` past the largest key (after rows
// were inserted with their own keys); nothing to do on SQLite.
void afterKeyedInserts(Connection& c, const TableLayout& table);

}  // namespace srv
