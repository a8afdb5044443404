#include "news/Selchoice1.h"
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include "net/reply_file.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "text/text_cleaning.h"

namespace {

// The line buffer: a longer line arrives in pieces, each taken as a line.
constexpr size_t lineBufferBytes = 2048;
// The rule between the header and the article's body.
constexpr int ruleLength = 89;
// Pieces shorter than this after cleaning hold no text.
constexpr size_t shortestPiece = 2;

const eString separator = eString(ruleLength, '-') + "\n";

// The few line-break markers the server's pages use, and the entities;
// `piece` is cleaned in place. The single left-to-right pass of replace()
// gives what replacing until none is left would: no replacement byte occurs
// in any of the four patterns, so no replacement can complete a new match.
eString cleanPiece(char* piece) {
    replace(piece, "<br />", "\n");
    replace(piece, "<tr>", "\n");
    replace(piece, "</p>", "\n");
    replace(piece, "&nbsp;", " ");
    replace_sonderzeichen(piece);
    eString text(piece);
    trim1(text);
    return text;
}

}  // namespace

eString Selchoice1() {
    const eString title = LangT(texts::titleCaption, CORLANG);
    const eString author = LangT(texts::authorCaption, CORLANG);
    const eString reads = LangT(texts::articleReadsCaption, CORLANG);
    eString result;

    replies::File in(std::fopen(paths::articleFile, "rt"));
    if (in) {
        char buffer[lineBufferBytes];
        replies::Budget budget;
        int kept = 0;
        while (std::fgets(buffer, sizeof buffer, in.get())) {
            if (!budget.take(buffer)) continue;
            eString piece = cleanPiece(buffer);
            if (piece.size() < shortestPiece) continue;
            switch (++kept) {
            case 1: result += title + piece; break;
            case 2: result += author + piece; break;
            // The third line runs on into the read count.
            case 3: result += "\n" + replaceAll(piece, "\n", " "); break;
            case 4: result += reads + piece; break;
            case 5: result += separator + piece; break;
            default: result += piece; break;
            }
        }
        in.reset();
    }
    unlink(paths::articleFile);
    return result;
}
