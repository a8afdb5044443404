#include <gtest/gtest.h>
#include <array>
#include <fstream>
#include <map>
#include <string>
#include "settings/lang.h"

namespace {

// Reads the reference transcription: lines `- ID: "en" / "fr" / "it"` with
// \n and \t escapes. Texts 32 and 33 are ours and not in it.
std::map<int, std::array<std::string, 3>> referenceTexts() {
    std::map<int, std::array<std::string, 3>> texts;
    std::ifstream in(LUMEN_TEST_DATA "/settings/texts_table.txt");
    std::string line;
    while (std::getline(in, line)) {
        int id = std::stoi(line.substr(2));
        std::array<std::string, 3> row;
        size_t pos = line.find('"');
        for (auto& text : row) {
            for (++pos; line[pos] != '"'; ++pos) {
                if (line[pos] == '\\') text += line[++pos] == 'n' ? '\n' : '\t';
                else text += line[pos];
            }
            pos = line.find('"', pos + 1);
        }
        texts[id] = row;
    }
    return texts;
}

}  // namespace

TEST(LangT, EveryTableTextMatchesTheReferenceByteForByte) {
    auto texts = referenceTexts();
    ASSERT_EQ(texts.size(), 53u);
    for (const auto& [id, row] : texts)
        for (int lang = 1; lang <= 3; ++lang)
            EXPECT_EQ(LangT(id, lang), row[lang - 1]) << "id " << id << " lang " << lang;
}

// Texts 32 and 33, ours, are pinned where the about window shows them (e2e/).
TEST(LangT, EveryIdHasATextInEveryLanguageAndNothingElseHasOne) {
    for (int id = -1; id <= 56; ++id)
        for (int lang = -1; lang <= 7; ++lang)
            EXPECT_EQ(LangT(id, lang).empty(), id < 1 || id > 55 || lang < 1 || lang > 3) << id << "/" << lang;
}
