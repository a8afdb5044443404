#include "tests/support/box_root.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>
#include "emu/file_root.h"
#include "settings/paths.h"

namespace fs = std::filesystem;

namespace {
// Roots that were active before each live BoxRoot, so that nested roots
// restore their outer one.
std::vector<std::string> outerRoots;
}  // namespace

BoxRoot::BoxRoot() {
    char pattern[] = "/tmp/lumen-box-XXXXXX";
    if (!mkdtemp(pattern)) {
        ADD_FAILURE() << "BoxRoot: cannot create a directory under /tmp";
        return;
    }
    root = pattern;
    for (const char* dir : {"/var/tmp", "/var/keys", "/var/tuxbox/plugins"}) fs::create_directories(root + dir);
    outerRoots.push_back(emu::fileRoot());
    emu::setFileRoot(root);
}

BoxRoot::~BoxRoot() {
    if (root.empty()) return;
    emu::setFileRoot(outerRoots.back());
    outerRoots.pop_back();
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

// The root lies under /tmp, so none of the real paths below is redirected.
// Other paths are a mistake in the test: they would reach the machine's own
// files, so they are kept inside the root and reported.
std::string BoxRoot::path(const std::string& boxPath) const {
    std::string real = emu::resolveBoxPath(root, boxPath);
    if (real == boxPath) {
        ADD_FAILURE() << "BoxRoot: " << boxPath << " is not a box path (/var, /media or /mnt)";
        return root + "/" + boxPath;
    }
    return real;
}

void BoxRoot::write(const std::string& boxPath, const std::string& content) const {
    std::string real = path(boxPath);
    fs::create_directories(fs::path(real).parent_path());
    std::ofstream out(real, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) ADD_FAILURE() << "BoxRoot: cannot write " << real;
}

std::string BoxRoot::read(const std::string& boxPath) const {
    std::ostringstream content;
    content << std::ifstream(path(boxPath), std::ios::binary).rdbuf();  // nothing from a missing file or a directory
    return content.str();
}

bool BoxRoot::exists(const std::string& boxPath) const {
    std::error_code ignored;
    return fs::exists(path(boxPath), ignored);
}

void BoxRoot::mkdirs(const std::string& boxPath) const {
    std::error_code error;
    fs::create_directories(path(boxPath), error);
    if (error) ADD_FAILURE() << "BoxRoot: cannot create " << path(boxPath) << ": " << error.message();
}

void BoxRoot::copyFixture(const std::string& fixture, const std::string& boxPath) const {
    const std::string source = std::string(LUMEN_TEST_DATA) + "/" + fixture, target = path(boxPath);
    std::error_code error;
    fs::create_directories(fs::path(target).parent_path(), error);
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
    if (error) ADD_FAILURE() << "BoxRoot: cannot copy fixture " << source << ": " << error.message();
}

void BoxRoot::installLogos() const {
    copyFixture("../../assets/LumenNews.png", paths::logo);
    copyFixture("../../assets/LumenNews2.png", paths::aboutLogo);
}

std::vector<std::string> filesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}
