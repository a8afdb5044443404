// The box unit tests' stand-in for the answerer of tests/support: a box
// build without the emulated host has no widgets, so showMessage (in
// message_log.cpp) records each box here instead of running one. Same
// interface, so reader tests compile unchanged.
#pragma once
#include <string>
#include <vector>

class MessageBoxAnswerer {
public:
    struct Box {
        std::string text;
        std::string caption;
        int flags;
    };
    MessageBoxAnswerer() { log().clear(); }
    const std::vector<Box>& boxes() const { return log(); }
    void clear() { log().clear(); }
    static std::vector<Box>& log() {
        static std::vector<Box> boxes;
        return boxes;
    }
};
