#include <gtest/gtest.h>
#include <clocale>
#include <cstdlib>
#include <string>
#include "settings/lang.h"

// The texts themselves are pinned where the windows show them (e2e/ tours);
// that the names cover the numbers once is checked where the table is.

TEST(LangT, EveryIdHasATextInEveryLanguageAndNothingElseHasOne) {
    for (int id = texts::firstId - 2; id <= texts::lastId + 1; ++id)
        for (int lang = -1; lang <= texts::languages + 4; ++lang)
            EXPECT_EQ(LangT(id, lang).empty(),
                      id < texts::firstId || id > texts::lastId || lang < 1 || lang > texts::languages)
                << id << "/" << lang;
}

// A text pasted in another encoding would show as noise on the box.
TEST(LangT, EveryTextIsUtf8) {
    const std::string before = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    for (int id = texts::firstId; id <= texts::lastId; ++id)
        for (int lang = 1; lang <= texts::languages; ++lang)
            EXPECT_NE(std::mbstowcs(nullptr, LangT(id, lang).c_str(), 0), static_cast<size_t>(-1)) << id << "/" << lang;
    std::setlocale(LC_CTYPE, before.c_str());
}
