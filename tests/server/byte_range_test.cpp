// Which Range headers give one part of a download, and which the whole file.
#include <gtest/gtest.h>

#include "server/byte_range.h"

TEST(ByteRange, OneRangeOrTheWholeFile) {
    const struct {
        const char* header;
        bool partial, satisfiable;
        uint64_t first, length;
    } cases[] = {
        {"bytes=5-", true, true, 5, 95},
        {"bytes=90-200", true, true, 90, 10},
        {"bytes=-500", true, true, 0, 100},
        {" bytes= 3 - 4 ", true, true, 3, 2},
        {"bytes=100-", true, false, 0, 0},
        {"bytes=-0", true, false, 0, 0},
        {"bytes=9-3", false, true, 0, 0},
        {"bytes=", false, true, 0, 0},
        {"bytes=a-b", false, true, 0, 0},
        {"bytes=99999999999999999999-", false, true, 0, 0},
        {"items=0-9", false, true, 0, 0},
        {"", false, true, 0, 0},
    };
    for (const auto& c : cases) {
        auto range = srv::singleRange(c.header, 100);
        ASSERT_EQ(range.has_value(), c.partial) << c.header;
        if (!range) continue;
        EXPECT_EQ(range->satisfiable, c.satisfiable) << c.header;
        if (!c.satisfiable) continue;
        EXPECT_EQ(range->first, c.first) << c.header;
        EXPECT_EQ(range->length, c.length) << c.header;
    }
}
