#include "community/FileDetail.h"
#include <unistd.h>
#include <cstring>
#include "community/reply_file.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "text/text_cleaning.h"

namespace {
eString blanksForFeeds(eString line) {
    for (char& c : line)
        if (c == '\n') c = ' ';
    return line;
}

// Appends detail line `number` (2 and later) as the layout wants it.
void appendLine(eString& text, int number, const eString& line, int lang) {
    switch (number) {
    case 2: text += LangT(1, lang) + line; break;                       // title
    case 3: text += LangT(2, lang) + blanksForFeeds(line); break;       // uploader
    case 4: text += eString(23, ' ') + blanksForFeeds(line); break;     // on the uploader's row
    case 5: text += LangT(40, lang) + blanksForFeeds(line); break;      // size
    case 6: text += LangT(41, lang) + line; break;                      // downloads
    case 7: text += eString(89, '-') + "\n" + line; break;              // description starts
    default: text += line; break;
    }
}
}  // namespace

FileDetail readFileDetail(FILE* reply, int lang) {
    FileDetail detail;
    char buffer[2048];
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
        if (number <= 8) ++number;  // every later line is laid out alike
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
