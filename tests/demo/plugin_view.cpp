#include "tests/demo/plugin_view.h"

#include <algorithm>
#include <cstdlib>

#include "text/text_cleaning.h"

namespace view {

std::vector<std::string> lines(const std::string& body) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        out.push_back(body.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string decoded(const std::string& text) {
    eString s(text);
    replace_sonderzeichen(s);
    return s;
}

ShoutList shoutList(const std::string& body) {
    ShoutList list;
    for (const std::string& line : lines(body)) {
        if (!list.marker) {
            list.marker = line.find("end document head") != std::string::npos;
            continue;
        }
        eString field = stripHTMLTags(line);
        field.erase(std::remove(field.begin(), field.end(), '\t'), field.end());
        field = decoded(field);
        if (field.size() >= 2) list.fields.push_back(field);
    }
    return list;
}

std::vector<std::string> articleLines(const std::string& body) {
    std::vector<std::string> kept;
    for (const std::string& line : lines(body)) {
        eString piece = line + "\n";
        piece = replaceAll(piece, "<br />", "\n");
        piece = replaceAll(piece, "<tr>", "\n");
        piece = replaceAll(piece, "</p>", "\n");
        piece = replaceAll(piece, "&nbsp;", " ");
        piece = decoded(piece);
        trim1(piece);
        if (piece.size() >= 2) kept.push_back(piece);
    }
    return kept;
}

std::vector<std::pair<long, std::string>> categoryPairs(const std::string& body) {
    std::vector<std::pair<long, std::string>> pairs;
    std::vector<std::string> all = lines(body);
    for (size_t i = 0; i + 1 < all.size(); i += 2)
        pairs.emplace_back(std::strtol(all[i].c_str(), nullptr, 10), decoded(all[i + 1]));
    return pairs;
}

}  // namespace view
