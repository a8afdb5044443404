// The byte budget of the readers that show a reply as text: pieces are
// taken while their running total stays within it; the piece that passes
// it and every later one are dropped, however small.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "net/reply_file.h"

TEST(ReplyBudget, TakesPiecesUntilTheTotalPassesTheBudget) {
    const size_t all = replies::budgetBytes;
    const struct { std::vector<size_t> pieces; std::vector<bool> taken; } cases[] = {
        {{all}, {true}},
        {{all + 1, 1}, {false, false}},
        {{all - 1, 1, 1, 0}, {true, true, false, false}},
        {{1023, all, 1}, {true, false, false}},
        {{0, 0, all, 0}, {true, true, true, true}},
    };
    for (const auto& c : cases) {
        replies::Budget budget;
        std::vector<bool> taken;
        for (size_t size : c.pieces) taken.push_back(budget.take(std::string(size, 'x').c_str()));
        EXPECT_EQ(taken, c.taken) << c.pieces.size() << " pieces, the first of " << c.pieces[0] << " bytes";
    }
}
