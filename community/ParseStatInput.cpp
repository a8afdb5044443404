#include "community/ParseStatInput.h"
#include <unistd.h>
#include <cstring>
#include "community/reply_file.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"

namespace {
// Appends value number `number` (from 1) with its label.
void appendValue(eString& result, int number, eString line, int lang) {
    if (number > 9) {
        result += line;
        return;
    }
    if (number == 6) result += "\n" + eString(38, '_') + "\n";
    // Texts 6 to 14 label values 1 to 9.
    result += LangT(number + 5, lang);
    line.removeChars('\n');
    result += line;
}
}  // namespace

eString formatStatistics(FILE* reply, int lang) {
    eString result;
    char buffer[1024];
    replies::Budget budget;
    int number = 0;
    while (std::fgets(buffer, sizeof buffer, reply)) {
        if (!budget.take(buffer)) continue;
        appendValue(result, ++number, buffer, lang);
    }
    return result;
}

eString ParseStatInput() {
    eString result;
    if (replies::File reply = replies::open(paths::shoutFile))
        result = formatStatistics(reply.get(), CORLANG);
    unlink(paths::shoutFile);
    return result;
}
