#include <gtest/gtest.h>
#include <string>
#include "settings/lang.h"

// The texts themselves are pinned where the windows show them (e2e/ tours);
// that the names cover the numbers once is checked where the table is.

namespace {

// Lead bytes and their continuations only: enough to catch a text pasted in
// a single-byte encoding. No locale is needed, so it runs on a box's libc too.
bool utf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i++]);
        const int continuations =
            lead < 0x80 ? 0 : lead < 0xC2 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : -1;
        if (continuations < 0) return false;
        for (int k = 0; k < continuations; ++k)
            if (i >= text.size() || (static_cast<unsigned char>(text[i++]) & 0xC0) != 0x80) return false;
    }
    return true;
}

}  // namespace

// A text pasted in another encoding would show as noise on the box.
TEST(LangT, EveryIdHasAUtf8TextInEveryLanguageAndNothingElseHasOne) {
    ASSERT_FALSE(utf8("caf\xE9"));  // Latin-1
    for (int id = texts::firstId - 2; id <= texts::lastId + 1; ++id)
        for (int lang = -1; lang <= texts::languages + 4; ++lang) {
            const eString text = LangT(id, lang);
            EXPECT_EQ(text.empty(), id < texts::firstId || id > texts::lastId || lang < 1 || lang > texts::languages)
                << id << "/" << lang;
            EXPECT_TRUE(utf8(text)) << id << "/" << lang;
        }
}
