// file-add copies whole files into the files folder and never writes
// through a symbolic link or over its own source.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "server/files_folder.h"
#include "server/store.h"
#include "tests/server/server_test_support.h"

namespace fs = std::filesystem;

namespace {

class FileAdd : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(files);
        srv::Store::create(dir / "community.db");
    }
    int add(const fs::path& source) {
        return runTool({"file-add", "--db", dir / "community.db", "--category", "Keys", "--file", source,
                        "--title", "T", "--uploader", "U"});
    }
    // Nothing but the listed names: no temporary file left behind.
    std::set<std::string> folder() {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(files)) names.insert(entry.path().filename().string());
        return names;
    }

    const TempFolder temp;
    const fs::path dir = temp.path(), files = dir / "files";
};

}  // namespace

TEST_F(FileAdd, RefusesTheFileAlreadyInTheFolder) {
    writeFile(files / "same.txt", "kept\n");
    fs::create_hard_link(files / "same.txt", dir / "same.txt");  // the same file by another path
    EXPECT_EQ(add(dir / "same.txt"), 1);
    EXPECT_EQ(fileBytes(files / "same.txt"), "kept\n");
    EXPECT_EQ(folder(), std::set<std::string>{"same.txt"});
}

TEST_F(FileAdd, WritesThroughNoSymbolicLink) {
    writeFile(dir / "outside.txt", "not to be touched\n");
    fs::create_symlink(dir / "outside.txt", files / "link.txt");
    const std::string bytes(200 * 1024 + 7, 'k');  // several pieces of the copy
    writeFile(dir / "link.txt", bytes);
    ASSERT_EQ(add(dir / "link.txt"), 0);
    EXPECT_EQ(fileBytes(dir / "outside.txt"), "not to be touched\n");
    EXPECT_FALSE(fs::is_symlink(files / "link.txt"));  // the link itself was replaced
    EXPECT_EQ(fileBytes(files / "link.txt"), bytes);
    EXPECT_EQ(folder(), std::set<std::string>{"link.txt"});  // no temporary left
}

TEST_F(FileAdd, RefusesLinksAndOddSources) {
    writeFile(dir / "real.txt", "real\n");
    fs::create_symlink(dir / "real.txt", dir / "alias.txt");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_directories(dir / "folder");
    for (const char* name : {"alias.txt", "pipe", "folder"})
        EXPECT_THROW(srv::addToFilesFolder((dir / name).string(), files.string(), name), srv::FileAddError) << name;
    // A files folder that is a link is not written into either.
    fs::create_directories(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", dir / "linked-files");
    EXPECT_THROW(srv::addToFilesFolder((dir / "real.txt").string(), (dir / "linked-files").string(), "real.txt"),
                 srv::FileAddError);
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
    EXPECT_TRUE(folder().empty());
    EXPECT_EQ(add(dir / "alias.txt"), 1);  // through the tool: one line, nothing listed
}

// The sample import copies the same way: pointed at its own files, it
// refuses instead of emptying them.
TEST_F(FileAdd, SampleImportLeavesItsOwnFilesAlone) {
    fs::copy(LUMEN_SAMPLE_DATA, dir / "sample", fs::copy_options::recursive);
    const fs::path sampleFile = dir / "sample" / "files" / "weatherglobe_1.2.tar.gz";
    const std::string before = fileBytes(sampleFile);
    const fs::path sample = dir / "sample";
    EXPECT_EQ(runTool({"init", "--db", dir / "new.db", "--sample", sample, "--files", sample / "files"}), 1);
    EXPECT_EQ(fileBytes(sampleFile), before);
    EXPECT_FALSE(before.empty());
    EXPECT_FALSE(fs::exists(dir / "new.db"));
}
