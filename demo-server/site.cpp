#include "demo-server/site.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace demo {

namespace {

const char* const scriptPath = "/lumennews/index.php";
const char* const filesPath = "/lumennews/files/";

bool readFile(const std::string& path, std::string& out) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    out = buffer.str();
    return true;
}

bool allOf(const std::string& text, bool (*accept)(char)) {
    if (text.empty() || text.size() > 40) return false;
    for (char c : text)
        if (!accept(c)) return false;
    return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlnum(char c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

const char* reasonOf(int status) {
    switch (status) {
    case 302: return "Found";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

}  // namespace

Reply errorReply(int status, const std::string& detail) {
    Reply r;
    r.status = status;
    r.contentType = "text/html; charset=UTF-8";
    std::string title = std::to_string(status) + " " + reasonOf(status);
    r.body = "<html><head><title>" + title + "</title></head>\n<body><h1>" + title + "</h1>\n<p>" +
             detail + "</p></body></html>\n";
    return r;
}

bool isSafeFileName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name.find("..") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

Site::Site(std::string dataDir) : dataDir(std::move(dataDir)) {}

bool Site::load(std::string& error) {
    struct stat st {};
    if (::stat(dataDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = "no data folder " + dataDir;
        return false;
    }
    return board.load(dataDir + "/shouts.txt", error);
}

Reply Site::answer(const std::string& path, const Query& query) {
    ++requests;
    if (path == scriptPath) return script(query);
    if (path.rfind(filesPath, 0) == 0) return download(path.substr(std::string(filesPath).size()));
    return errorReply(404, "No such page.");
}

Reply Site::script(const Query& query) {
    const std::string op = query.get("op");
    if (op == "outmerss") return feed(query);
    if (op == "article") return article(query);
    if (op == "outme") {
        Reply r;
        r.contentType = "text/html; charset=UTF-8";
        r.body = board.page();
        return r;
    }
    if (op == "inme") return postShout(query);
    if (op == "outmestats2") return statistics();
    if (op == "outcat") return category(query);
    if (op == "outfile") return fileDetail(query);
    return errorReply(404, "Unknown operation.");
}

Reply Site::feed(const Query& query) const {
    if (query.get("tn") == "3") return dataFile("feeds/italian.rdf", "text/xml; charset=ISO-8859-1");
    return dataFile("feeds/english.xml", "text/xml; charset=UTF-8");
}

Reply Site::article(const Query& query) const {
    // The feeds' links carry "&Itemid=99999999", which is not needed here.
    const std::string sid = query.get("sid");
    if (!allOf(sid, isDigit)) return errorReply(404, "No such article.");
    return dataFile("articles/" + sid + ".html", "text/html; charset=UTF-8");
}

Reply Site::postShout(const Query& query) {
    if (!board.post(query.get("n"), query.get("p"), std::time(nullptr)))
        return errorReply(400, "Empty shout, nothing saved.");
    Reply r;
    r.contentType = "text/html; charset=UTF-8";
    r.body = "<html><body><p>Shout saved, thank you!</p></body></html>\n";
    return r;
}

Reply Site::statistics() const {
    Reply r = dataFile("stats.txt", "text/plain; charset=UTF-8");
    if (r.status != 200) return r;
    // Lines 1 and 5 (connections, shouts) count on from the sample values.
    std::istringstream in(r.body);
    std::string line, out;
    for (int n = 1; std::getline(in, line); ++n) {
        char* end = nullptr;
        long value = std::strtol(line.c_str(), &end, 10);
        bool number = !line.empty() && *end == '\0';
        if (number && n == 1) line = std::to_string(value + requests.load());
        if (number && n == 5) line = std::to_string(value + board.posted());
        out += line + "\n";
    }
    r.body = out;
    return r;
}

Reply Site::category(const Query& query) const {
    const std::string name = query.get("cat");
    if (!allOf(name, isAlnum)) return errorReply(404, "No such category.");
    return dataFile("categories/" + name + ".txt", "text/plain; charset=UTF-8");
}

Reply Site::fileDetail(const Query& query) const {
    const std::string id = query.get("idf");
    if (!allOf(id, isDigit)) return errorReply(404, "No such file.");
    return dataFile("details/" + id + ".txt", "text/plain; charset=UTF-8");
}

Reply Site::download(const std::string& name) const {
    if (!isSafeFileName(name)) return errorReply(403, "Refused file name.");
    return dataFile("files/" + name, "application/octet-stream");
}

Reply Site::dataFile(const std::string& relative, const std::string& contentType) const {
    Reply r;
    if (!readFile(dataDir + "/" + relative, r.body)) return errorReply(404, "Not found.");
    r.contentType = contentType;
    return r;
}

}  // namespace demo
