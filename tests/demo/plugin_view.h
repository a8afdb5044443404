// The demo server's replies as the plug-in's readers take them apart,
// built on the plug-in's own cleaning functions, so the tests check the
// sample data against the real reading rules.
#pragma once
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace view {

std::vector<std::string> lines(const std::string& body);  // line feeds dropped

// Shout list: the fields after the marker line, cleaned; fields.size() % 4
// tells whether the rows are whole.
struct ShoutList {
    bool marker = false;
    std::vector<std::string> fields;
    std::array<std::string, 4> row(size_t index) const {
        return {fields[4 * index], fields[4 * index + 1], fields[4 * index + 2], fields[4 * index + 3]};
    }
};
ShoutList shoutList(const std::string& body);

// Article page: the kept lines, cleaned (title, author, third line, reads,
// then the body), each with its line feeds.
std::vector<std::string> articleLines(const std::string& body);

// Category reply: (id, title with entities decoded) pairs.
std::vector<std::pair<long, std::string>> categoryPairs(const std::string& body);

// Entity decoding as the readers apply it.
std::string decoded(const std::string& text);

}  // namespace view
