#include "community/ParseShoutInput.h"
#include <unistd.h>
#include <cstring>
#include "net/reply_file.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "text/text_cleaning.h"

namespace {
const char* const marker = "end document head";

// The header's drawn lines: a rule over the heading, a framed blank line,
// a framed rule under the column names, and the rule over the rows.
constexpr int headingRule = 43;
constexpr int framedBlanks = 93;
constexpr int rowsRule = 113;
// A cleaned line shorter than this holds no field.
constexpr size_t shortestField = 2;

eString header(int lang) {
    eString h = LangT(texts::shoutboxHeading, lang);
    h += eString(headingRule, '_') + "\n";
    h += "|" + eString(framedBlanks, ' ') + "|\n";
    h += LangT(texts::shoutboxColumns, lang);
    h += "|" + eString(headingRule, '_') + "|\n";
    h += eString(rowsRule, '-') + "\n";
    return h;
}

eString cleanField(const char* line) {
    eString field = stripHTMLTags(line);
    field.removeChars('\t');
    field.removeChars('\n');
    replace_sonderzeichen(field);
    return field;
}

// What follows the field at each position of a row of four.
const char* separator(int position) {
    static const char* const separators[4] = {"   ", "  ->  ", "             ", "\n"};
    return separators[position % 4];
}
}  // namespace

eString formatShoutList(FILE* reply, int lang) {
    eString result = header(lang);
    char buffer[community::shoutLineBytes];
    bool started = false;
    replies::Budget budget;
    int fields = 0;
    while (std::fgets(buffer, sizeof buffer, reply)) {
        if (!started) {
            started = std::strstr(buffer, marker) != nullptr;
            continue;
        }
        if (!budget.take(buffer)) continue;
        eString field = cleanField(buffer);
        if (field.size() < shortestField) continue;
        result += field;
        result += separator(fields++);
    }
    return result;
}

eString ParseShoutInput() {
    eString result;
    if (replies::File reply = replies::open(paths::shoutFile))
        result = formatShoutList(reply.get(), CORLANG);
    unlink(paths::shoutFile);
    return result;
}
