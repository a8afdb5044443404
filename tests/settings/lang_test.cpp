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

TEST(LangT, LeadingBlanksAreExact) {
    EXPECT_EQ(LangT(3, 1), std::string(37, ' ') + "Reads: ");
    EXPECT_EQ(LangT(3, 2), std::string(37, ' ') + "Lire: ");
    EXPECT_EQ(LangT(3, 3), std::string(35, ' ') + "Letture: ");
    EXPECT_EQ(LangT(41, 1), std::string(30, ' ') + "Downloads: ");
    EXPECT_EQ(LangT(41, 2), std::string(28, ' ') + "T\xc3\xa9l\xc3\xa9" "chargements: ");
    EXPECT_EQ(LangT(41, 3), std::string(30, ' ') + "Downloads: ");
    for (int lang = 1; lang <= 3; ++lang) {
        eString header = LangT(5, lang);
        EXPECT_EQ(header.substr(0, 2), "  ");
        EXPECT_NE(header[2], ' ');
    }
}

TEST(LangT, AccentedTextsAreTwoByteUtf8) {
    EXPECT_EQ(LangT(16, 2), "Corvanesat Section T\xc3\xa9l\xc3\xa9" "chargement");
    EXPECT_EQ(LangT(4, 2), "Temps R\xc3\xa9" "el Les Derniers Messages De La Orbivox Communaut\xc3\xa9:\n");
    EXPECT_EQ(LangT(53, 2), "vous devez inser\xc3\xa9 un r\xc3\xa9p\xc3\xa9rtoire existant");
    EXPECT_EQ(LangT(53, 3), "Devi insrire una directory esistente");
}

TEST(LangT, TabsAndLineFeedsAreKept) {
    EXPECT_EQ(LangT(12, 1), "\nReads:\t");
    EXPECT_EQ(LangT(37, 3), "\n\n\n\n Attendi.. Connessione al server Shoutbox in corso ...");
    EXPECT_EQ(LangT(40, 2), "\n\nTaille: ");
}

TEST(LangT, IdZeroUnknownIdsAndUnknownLanguagesAreEmpty) {
    for (int lang = 1; lang <= 3; ++lang) EXPECT_EQ(LangT(0, lang), "");
    for (int id : {1, 15, 55}) {
        EXPECT_EQ(LangT(id, 0), "");
        EXPECT_EQ(LangT(id, 4), "");
        EXPECT_EQ(LangT(id, 7), "");
        EXPECT_EQ(LangT(id, -1), "");
    }
    EXPECT_EQ(LangT(56, 1), "");
    EXPECT_EQ(LangT(-1, 1), "");
}

TEST(LangT, EveryIdHasATextInEveryLanguage) {
    for (int id = 1; id <= 55; ++id)
        for (int lang = 1; lang <= 3; ++lang) EXPECT_FALSE(LangT(id, lang).empty()) << id << "/" << lang;
}

TEST(LangT, OnlyTheItalianConfirmationDoesNotNameThePlugin) {
    EXPECT_NE(LangT(55, 1).find("Corvane Lumen Plugin"), std::string::npos);
    EXPECT_NE(LangT(55, 2).find("Corvane Lumen Plugin"), std::string::npos);
    EXPECT_EQ(LangT(55, 3), "Configurazione salvata. Riavvia il plugin per applicare i nuovi settaggi.");
}

TEST(LangT, VersionBlockBeginsWithTheVersionInEachLanguage) {
    EXPECT_EQ(LangT(33, 1).rfind(" Version 0.5 ", 0), 0u);
    EXPECT_EQ(LangT(33, 2).rfind(" Version 0.5 ", 0), 0u);
    EXPECT_EQ(LangT(33, 3).rfind(" Versione 0.5 ", 0), 0u);
    for (int lang = 1; lang <= 3; ++lang) {
        EXPECT_NE(LangT(33, lang).find("example.org"), std::string::npos);
        EXPECT_NE(LangT(32, lang).find("Corvane Team"), std::string::npos);
    }
}
