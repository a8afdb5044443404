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

constexpr size_t pieceBuffer = 2048;

const eString separator = eString(89, '-') + "\n";

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
    const eString title = LangT(1, CORLANG);
    const eString author = LangT(2, CORLANG);
    const eString reads = LangT(3, CORLANG);
    eString result;

    replies::File in(std::fopen(paths::articleFile, "rt"));
    if (in) {
        char buffer[pieceBuffer];
        replies::Budget budget;
        int kept = 0;
        while (std::fgets(buffer, sizeof buffer, in.get())) {
            if (!budget.take(buffer)) continue;
            eString piece = cleanPiece(buffer);
            if (piece.size() < 2) continue;
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
