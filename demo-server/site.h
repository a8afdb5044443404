// What the demo community answers, request by request, from the files of
// its data folder (read afresh each time, so they can be edited live) and
// the shouts held in memory.
#pragma once
#include <atomic>
#include <string>

#include "demo-server/query.h"
#include "demo-server/shout_board.h"

namespace demo {

struct Reply {
    int status = 200;
    std::string contentType = "text/plain; charset=UTF-8";
    std::string body;
};

class Site {
public:
    explicit Site(std::string dataDir);
    // Checks the data folder and reads the sample shouts.
    bool load(std::string& error);
    // `path` is the decoded request path.
    Reply answer(const std::string& path, const Query& query);

private:
    Reply script(const Query& query);
    Reply feed(const Query& query) const;
    Reply article(const Query& query) const;
    Reply postShout(const Query& query);
    Reply statistics() const;
    Reply category(const Query& query) const;
    Reply fileDetail(const Query& query) const;
    Reply download(const std::string& name) const;
    Reply dataFile(const std::string& relative, const std::string& contentType) const;

    std::string dataDir;
    ShoutBoard board;
    std::atomic<long> requests{0};
};

// Status pages; the body says what went wrong.
Reply errorReply(int status, const std::string& detail);

// A file name a download may use: no "/", no "..", no NUL, not empty.
bool isSafeFileName(const std::string& name);

}  // namespace demo
