// Moves a community from one database to another (SQLite to PostgreSQL or
// back): every row of every table in one transaction on each side, then
// both sides compared row for row before the copy is committed.
#pragma once
#include <cstdint>
#include <string>

#include "server/store.h"

namespace srv {

struct CopyCount {
    int tables = 0;
    int64_t rows = 0;
};

// `to` must be new (Store::create). Throws DatabaseError when a row
// differs; nothing is then committed to `to`.
CopyCount copyCommunity(Store& from, Store& to);

}  // namespace srv
