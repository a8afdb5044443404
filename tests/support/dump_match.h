// Reading lumenhost's screen dumps in tests (format: emu/screen_dump.cpp).
//
//   screen 720x576
//   window eWindow outer=... client=... modal=innermost focus=eButton title="Main"
//     eButton rect=20,20,300x32 shortcut="1" focus text="Open"
//     eListBox rect=... count=2 current=0 top=0
//       entry key=1 current text="First"
//
// Typical use:
//   std::string screen = dumpmatch::lastDump(run.out);
//   auto menu = dumpmatch::window(screen, "Main");          // empty: no such window
//   EXPECT_EQ(dumpmatch::focused(menu).text(), "Open");
//   EXPECT_TRUE(dumpmatch::find(menu, "eButton", "Open").has("focus"));
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

namespace dumpmatch {

// One dump line, split into its class (first word), key=value fields
// (quoted values unescaped) and bare flags ("focus", "current").
struct Line {
    int depth = 0;        // indentation in levels of two blanks
    std::string kind;     // "window", "eButton", "entry", ...; "" for no line
    std::map<std::string, std::string> fields;
    std::set<std::string> flags;
    std::string raw;

    explicit operator bool() const { return !kind.empty(); }
    std::string operator[](const std::string& key) const;  // "" when absent
    std::string text() const { return (*this)["text"]; }
    bool has(const std::string& flag) const { return flags.count(flag) > 0; }
};
using Block = std::vector<Line>;

Line parseLine(const std::string& line);

// An output holding several dumps (dump steps, then the final dump), cut
// at each "screen" line.
std::vector<std::string> splitDumps(const std::string& output);
std::string lastDump(const std::string& output);  // "" when there is none

// Titles of the shown windows, bottom to top.
std::vector<std::string> windowTitles(const std::string& dump);
// The window whose title is exactly `title` (the last one if several):
// its window line first, then its widgets and entries. Empty if none.
Block window(const std::string& dump, const std::string& title);
// The window running modally innermost (modal=innermost). Empty if none.
Block innermost(const std::string& dump);

// The first widget line of `kind` ("" for any class) whose text contains
// `text`; a false Line when there is none.
Line find(const Block& block, const std::string& kind, const std::string& text = "");
// Every widget line of `kind`.
Block all(const Block& block, const std::string& kind);
// The widget line marked focus; a false Line when there is none.
Line focused(const Block& block);

}  // namespace dumpmatch
