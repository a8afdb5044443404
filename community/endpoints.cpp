#include "community/endpoints.h"
#include "text/text_cleaning.h"

namespace endpoints {
namespace {
const char* const script = "/lumennews/index.php?op=";
const char* const filePath = "/lumennews/files/";

eString request(const char* op) { return baseAddress() + script + op; }
}  // namespace

eString baseAddress() { return LUMEN_BASE_ADDRESS; }

eString englishFeed() { return request("outmerss"); }
eString italianFeed() { return request("outmerss&tn=3"); }

eString article(const eString& link) { return replaceAll(link, "&Itemid=99999999", ""); }

eString shoutList() { return request("outme"); }

// The substitutions come first so that the server stores what it always
// stored; the encoding only keeps "=", "&", "#", "%" and the like from
// being read as query syntax.
eString postShout(const eString& nickname, const eString& message) {
    return request("inme&n=") + percentEncode(nickname) + "&p=" +
           percentEncode(substituteForRequest(message));
}

eString statistics() { return request("outmestats2"); }

eString category(const eString& name) { return request("outcat&cat=") + name; }

eString fileDetail(int id) {
    eString number;
    number.sprintf("%d", id);
    return request("outfile&idf=") + number;
}

eString fileDownload(const eString& name) {
    eString plain = name;
    plain.removeChars('\n');
    return baseAddress() + filePath + plain;
}

eString percentEncode(const eString& text) {
    static const char hex[] = "0123456789ABCDEF";
    eString out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                          c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}
}  // namespace endpoints
