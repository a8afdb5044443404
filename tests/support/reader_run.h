// Runs one reader of a reply or box file as the plug-in does: the fixture
// (a path under tests/data, "" for no file) is put where the reader looks,
// under a fresh BoxRoot, with CORLANG = `lang`. Says what the reader made,
// the boxes it showed ("caption: text (flags)") and whether it left the
// file; a reader that fills its own list returns nothing. Header-only: the
// box unit tests build it against their own answerer.
#pragma once
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <type_traits>
#include "settings/settings.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

struct ReaderRun {
    std::string text;
    std::string boxes;  // "" when none
    bool fileKept = false;
};

template <typename Read>
ReaderRun runReader(const std::string& fixture, const char* boxPath, int lang, Read read) {
    BoxRoot root;
    MessageBoxAnswerer answerer;
    if (!fixture.empty()) root.copyFixture(fixture, boxPath);
    CORLANG = lang;
    ReaderRun run;
    if constexpr (std::is_void_v<decltype(read())>) read();
    else run.text = read();
    for (const auto& box : answerer.boxes())
        run.boxes += box.caption + ": " + box.text + " (" + std::to_string(box.flags) + ")";
    run.fileKept = root.exists(boxPath);
    return run;
}

// One field of every entry a reader listed, joined with "|".
template <typename List, typename Field>
std::string joined(const List& entries, Field field) {
    std::ostringstream out;
    for (const auto& entry : entries) out << (&entry == &*entries.begin() ? "" : "|") << entry.*field;
    return out.str();
}

// What every reader of a reply does on success: the file goes, no box shows.
inline void expectRemovedWithoutBox(const ReaderRun& run) {
    EXPECT_FALSE(run.fileKept);
    EXPECT_EQ(run.boxes, "");
}
