// The database layout: one list of numbered migrations, the schema version
// kept in PRAGMA user_version. Plain SQL that other databases also take.
#pragma once
#include <string>

#include "server/database.h"

namespace srv {

// The version this program writes; a newer file is refused.
int schemaVersion();

// Checks an existing file before anything is written to it: it must be a
// sound SQLite database of this or an older version. Throws DatabaseError
// with one line saying what is wrong. Version 0 (an empty file, another
// program's database) is refused too.
void checkDatabase(Database& db, const std::string& file);

// WAL and full syncs, then every migration the file lacks, each in its own
// transaction.
void prepareDatabase(Database& db);

}  // namespace srv
