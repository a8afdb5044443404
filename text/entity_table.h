// The entity table: 82 rows, decoded in this order, each row over the
// whole text before the next. The order matters: "&amp;" (row 6) runs
// after "&lt;" and "&gt;" but before the letters, so "&amp;lt;" becomes
// "&lt;" while "&amp;auml;" becomes "ä". A few rows are deliberately odd
// ("&aacute;" gives a plain "a", "&uacute;" gives "ù", "&trade;" and
// "&deg;" vanish): stored texts and servers rely on these results.
#pragma once
#include <cstddef>

struct EntityRow {
    const char* entity;
    const char* replacement;  // UTF-8, never longer than the entity
};

extern const EntityRow entityTable[];
extern const size_t entityTableSize;
