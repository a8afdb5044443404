// Compares a result with its reviewed copy, tests/data/expected/NAME.txt.
// LUMEN_UPDATE_REFERENCE=1 rewrites the copy instead; review the diff of
// tests/data/expected like code before committing it.
#pragma once
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

inline void expectReviewed(const std::string& got, const std::string& name) {
    const std::string path = std::string(LUMEN_TEST_DATA) + "/expected/" + name + ".txt";
    if (std::getenv("LUMEN_UPDATE_REFERENCE")) std::ofstream(path, std::ios::binary) << got;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << "no reviewed copy " << path;
    EXPECT_EQ(got, std::string(std::istreambuf_iterator<char>(in), {})) << "reviewed copy: " << path;
}
