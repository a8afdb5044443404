#include "community/ParseShoutInput.h"
#include <unistd.h>
#include <cstring>
#include "community/reply_file.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "text/text_cleaning.h"

namespace {
const char* const marker = "end document head";

eString header(int lang) {
    eString h = LangT(4, lang);
    h += eString(43, '_') + "\n";
    h += "|" + eString(93, ' ') + "|\n";
    h += LangT(5, lang);
    h += "|" + eString(43, '_') + "|\n";
    h += eString(113, '-') + "\n";
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
    char buffer[1024];
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
        if (field.size() < 2) continue;
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
