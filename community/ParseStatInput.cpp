#include "community/ParseStatInput.h"
#include <unistd.h>
#include <cstring>
#include "net/reply_file.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"

namespace {
// The labels of the reply's values, in reply order; later lines are shown
// as they are.
constexpr texts::Id valueLabels[] = {
    texts::statConnections, texts::statVisitorsToday, texts::statNewsCount,
    texts::statFileCount,   texts::statShoutCount,    texts::statTopNews,
    texts::statTopNewsReads, texts::statTopFile,      texts::statTopFileDownloads,
};
constexpr int labelledValues = sizeof valueLabels / sizeof valueLabels[0];
// The top news and top file (values 6 to 9) stand under a rule.
constexpr int firstTopValue = 6;
constexpr int ruleLength = 38;

// Appends value number `number` (from 1) with its label.
void appendValue(eString& result, int number, eString line, int lang) {
    if (number > labelledValues) {
        result += line;
        return;
    }
    if (number == firstTopValue) result += "\n" + eString(ruleLength, '_') + "\n";
    result += LangT(valueLabels[number - 1], lang);
    line.removeChars('\n');
    result += line;
}
}  // namespace

eString formatStatistics(FILE* reply, int lang) {
    eString result;
    char buffer[community::statLineBytes];
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
