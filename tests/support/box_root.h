// A private root directory for one test: while a BoxRoot lives, the box's
// paths (/var/..., /media/..., /mnt/...) opened by the code under test
// resolve inside a fresh temporary directory, which is removed afterwards.
// The machine's own /var is never touched.
#pragma once
#include <string>
#include <vector>

class BoxRoot {
public:
    BoxRoot();   // creates the directory (with var/tmp, var/keys, var/tuxbox/plugins) and activates it
    ~BoxRoot();  // deactivates and removes it
    BoxRoot(const BoxRoot&) = delete;
    BoxRoot& operator=(const BoxRoot&) = delete;

    const std::string& dir() const { return root; }
    std::string path(const std::string& boxPath) const;  // real path of a box path
    void write(const std::string& boxPath, const std::string& content) const;  // creates parents
    std::string read(const std::string& boxPath) const;  // "" if missing
    bool exists(const std::string& boxPath) const;
    void mkdirs(const std::string& boxPath) const;
    // Copies a fixture from tests/data to a box path.
    void copyFixture(const std::string& fixture, const std::string& boxPath) const;
    // Copies the plug-in's two logos from assets/ to where it loads them.
    void installLogos() const;

private:
    std::string root;
};

// The names in a real (not a box) directory, sorted.
std::vector<std::string> filesIn(const std::string& directory);
