#include "community/FileDetail.h"
#include <unistd.h>
#include <cstring>
#include "net/reply_file.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "text/text_cleaning.h"

namespace {
// Blanks between the uploader and the fourth line, on the uploader's row.
constexpr int uploaderGap = 23;
// The rule between the counts and the description.
constexpr int ruleLength = 89;
// Lines after this one are all description, laid out alike.
constexpr int lastLaidOutLine = 8;

eString blanksForFeeds(eString line) {
    for (char& c : line)
        if (c == '\n') c = ' ';
    return line;
}

// Appends detail line `number` (2 and later) as the layout wants it.
void appendLine(eString& text, int number, const eString& line, int lang) {
    switch (number) {
    case 2: text += LangT(texts::titleCaption, lang) + line; break;
    case 3: text += LangT(texts::authorCaption, lang) + blanksForFeeds(line); break;
    case 4: text += eString(uploaderGap, ' ') + blanksForFeeds(line); break;
    case 5: text += LangT(texts::fileSizeCaption, lang) + blanksForFeeds(line); break;
    case 6: text += LangT(texts::fileDownloadsCaption, lang) + line; break;
    case 7: text += eString(ruleLength, '-') + "\n" + line; break;  // the description starts
    default: text += line; break;
    }
}
}  // namespace

FileDetail readFileDetail(FILE* reply, int lang) {
    FileDetail detail;
    char buffer[community::detailLineBytes];
    int number = 1;
    replies::Budget budget;  // for the lines after the name
    while (std::fgets(buffer, sizeof buffer, reply)) {
        if (number == 1) {
            detail.fileName = buffer;  // raw: the name is not decoded
        } else {
            if (!budget.take(buffer)) break;
            replace_sonderzeichen(buffer);
            appendLine(detail.text, number, buffer, lang);
        }
        if (number <= lastLaidOutLine) ++number;
    }
    return detail;
}

FileDetail loadFileDetail(int lang) {
    FileDetail detail;
    if (replies::File reply = replies::open(paths::feedFile))
        detail = readFileDetail(reply.get(), lang);
    unlink(paths::feedFile);
    return detail;
}
