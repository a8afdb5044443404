// The download area for browsers: categories, a category's files, one
// file's detail. The download link is the boxes' own, so a download from
// the web is counted like one from a box.
#pragma once
#include "server/site.h"
#include "server/web/web_context.h"
#include "server/web/web_texts.h"

namespace srv::web {

class DownloadPages {
public:
    explicit DownloadPages(WebContext& context) : context(context) {}

    Reply categories(const Request& request, Lang lang);
    Reply category(const Request& request, Lang lang, const std::string& name);
    Reply file(const Request& request, Lang lang, int64_t id);

    // Where a box downloads the file: /lumennews/files/NAME, escaped for a URL.
    static std::string downloadUrl(const FileEntry& file);

private:
    WebContext& context;
};

}  // namespace srv::web
