#include <gtest/gtest.h>
#include <string>
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"

namespace {

class RetrieveConfig : public ::testing::Test {
protected:
    void SetUp() override { resetGlobals(); }
    static void resetGlobals() {
        CORLANG = 0;
        CORDDIR.clear();
        CORNICK.clear();
    }
    void load(const std::string& content) {
        root.write(paths::settingsFile, content);
        retrieveConfig();
    }
    void loadFixture(const std::string& name) {
        root.copyFixture("settings/" + name, paths::settingsFile);
        retrieveConfig();
    }
    BoxRoot root;
};

}  // namespace

TEST_F(RetrieveConfig, NoFileGivesTheDefaults) {
    retrieveConfig();
    EXPECT_EQ(CORLANG, 1);
    EXPECT_EQ(CORDDIR, "/var/tmp/");
    EXPECT_EQ(CORNICK, "Guest");
}

TEST_F(RetrieveConfig, MissingKeysKeepTheValuesOfAnEarlierCall) {
    load("lang=3\ndown=/media/hdd/\nnick=owl\n");
    load("lang=2\n");
    EXPECT_EQ(CORLANG, 2);
    EXPECT_EQ(CORDDIR, "/media/hdd/");
    EXPECT_EQ(CORNICK, "owl");
}

TEST_F(RetrieveConfig, LanguageIsReadLikeStrtol) {
    const std::pair<const char*, int> cases[] = {
        {"lang=0\n", 1}, {"lang=abc\n", 1}, {"lang= 3\n", 3}, {"lang=2x\n", 2}, {"lang=7\n", 7}, {"lang=-2\n", -2},
    };
    for (const auto& [line, expected] : cases) {
        resetGlobals();
        load(line);
        EXPECT_EQ(CORLANG, expected) << line;
    }
}

TEST_F(RetrieveConfig, LanguageOutsideTheTableStays) {
    loadFixture("lang_outside_table.cfg");
    EXPECT_EQ(CORLANG, 7);
}

TEST_F(RetrieveConfig, CrLfKeepsCarriageReturnInDirectoryAndNickname) {
    loadFixture("crlf_line_ends.cfg");
    EXPECT_EQ(CORLANG, 2);
    EXPECT_EQ(CORDDIR, "/media/hdd/\r");
    EXPECT_EQ(CORNICK, "owl\r");
}

TEST_F(RetrieveConfig, EveryEqualsSignOfADirectoryIsDeleted) {
    loadFixture("equals_in_directory.cfg");
    EXPECT_EQ(CORDDIR, "/media/ab/");
}

TEST_F(RetrieveConfig, BlanksAroundTheDirectoryAreTrimmed) {
    loadFixture("blanks_around_directory.cfg");
    EXPECT_EQ(CORDDIR, "/media/hdd/");
}

TEST_F(RetrieveConfig, EmptyValuesGiveTheDefaults) {
    load("down=\nnick=\n");
    EXPECT_EQ(CORDDIR, "/var/tmp/");
    EXPECT_EQ(CORNICK, "Guest");
}

TEST_F(RetrieveConfig, DirectoryOfThreeBlanksKeepsTwo) {
    load("down=   \n");
    EXPECT_EQ(CORDDIR, "  ");
}

TEST_F(RetrieveConfig, NicknameEntitiesAreDecodedThenSubstituted) {
    loadFixture("nick_with_entity.cfg");
    EXPECT_EQ(CORNICK, "Tom_e_Jerry");
}

TEST_F(RetrieveConfig, NicknameQuotesAreDeletedAndSlashesAndQuestionMarksReplaced) {
    loadFixture("nick_with_unsafe_characters.cfg");
    EXPECT_EQ(CORNICK, "ab_c_d");
}

TEST_F(RetrieveConfig, LineWithLangIsALanguageLineOnly) {
    loadFixture("lang_inside_nick_line.cfg");
    EXPECT_EQ(CORLANG, 1);  // "x lang2" has no digits: 0, then the default
    EXPECT_EQ(CORNICK, "owl");
}

TEST_F(RetrieveConfig, LineWithDownAndNickSetsBoth) {
    loadFixture("down_and_nick_on_one_line.cfg");
    EXPECT_EQ(CORDDIR, "/a nickb");
    EXPECT_EQ(CORNICK, "_a_nickb");
}

TEST_F(RetrieveConfig, LastLineOfAKeyWins) {
    loadFixture("keys_repeated.cfg");
    EXPECT_EQ(CORLANG, 2);
    EXPECT_EQ(CORNICK, "second");
}

TEST_F(RetrieveConfig, LongLineIsTakenInPiecesOf255Bytes) {
    // 300 bytes of directory: the first piece holds "down=" and 250 of them;
    // the rest is a piece of its own and, holding no key, is ignored.
    load("down=/" + std::string(299, 'a') + "\nnick=owl\n");
    EXPECT_EQ(CORDDIR, "/" + std::string(249, 'a'));
    EXPECT_EQ(CORNICK, "owl");
}

TEST_F(RetrieveConfig, KeyInTheSecondPieceOfALongLineIsApplied) {
    load("down=/" + std::string(260, 'a') + "nick=owl\n");
    EXPECT_EQ(CORDDIR, "/" + std::string(249, 'a'));
    EXPECT_EQ(CORNICK, "owl");
}

TEST_F(RetrieveConfig, LineWith255BytesBeforeItsLineFeedKeepsThemInOnePiece) {
    // 5 + 244 + 6 = 255 bytes before the line feed: "nick=b" at their very
    // end is still in the first piece, so both keys see the whole value.
    std::string directory = "/" + std::string(243, 'a');
    load("down=" + directory + "nick=b\n");
    EXPECT_EQ(CORDDIR, directory + "nickb");
    EXPECT_EQ(CORNICK, "_" + std::string(243, 'a') + "nickb");
}

TEST_F(RetrieveConfig, LineWith256BytesBeforeItsLineFeedLeavesTheLastToTheNextPiece) {
    std::string directory = "/" + std::string(244, 'a');
    load("down=" + directory + "nick=b\n");
    EXPECT_EQ(CORDDIR, directory + "nick");
    EXPECT_EQ(CORNICK, "_" + std::string(244, 'a') + "nick");
}
