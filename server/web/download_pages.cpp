#include "server/web/download_pages.h"

#include "server/store.h"
#include "server/web/escape.h"
#include "server/web/formats.h"
#include "server/web/page_frame.h"
#include "server/web/public_pages.h"

namespace srv::web {

namespace {

std::string categoryUrl(const std::string& name) { return "/files/" + escapeUrlComponent(name); }

}  // namespace

std::string DownloadPages::downloadUrl(const FileEntry& file) {
    return "/lumennews/files/" + escapeUrlComponent(file.name);
}

Reply DownloadPages::categories(const Request& request, Lang lang) {
    PageContent page;
    page.title = say(Text::Downloads, lang);
    page.section = Section::Downloads;
    page.mainHtml = "<h1>" + escapeHtml(say(Text::Downloads, lang)) + "</h1>\n";
    page.mainHtml += *context.fragments.get(std::string("categories-") + languageCode(lang), [&] {
        std::string html = "<div class=\"card table\"><table>\n<tr><th>" + escapeHtml(say(Text::Category, lang)) +
                           "</th><th class=\"num\">" + escapeHtml(say(Text::FilesCount, lang)) + "</th></tr>\n";
        for (const std::string& name : context.store.categories()) {
            html += "<tr><td><a href=\"" + escapeAttribute(categoryUrl(name)) + "\">" + escapeHtml(name) +
                    "</a></td><td class=\"num\">" + std::to_string(context.store.files(name).size()) + "</td></tr>\n";
        }
        return html + "</table></div>\n";
    });
    return renderPage(request, lang, page);
}

Reply DownloadPages::category(const Request& request, Lang lang, const std::string& name) {
    if (!context.store.categoryExists(name)) return notFoundPage(request, lang);
    PageContent page;
    page.title = name;
    page.section = Section::Downloads;
    std::string& html = page.mainHtml;
    html += "<p class=\"crumbs\"><a href=\"/files\">" + escapeHtml(say(Text::Downloads, lang)) + "</a> /</p>\n";
    html += "<h1>" + escapeHtml(name) + "</h1>\n";
    auto files = context.store.files(name);
    if (files.empty()) {
        html += "<p>" + escapeHtml(say(Text::NoFiles, lang)) + "</p>\n";
        return renderPage(request, lang, page);
    }
    html += "<div class=\"card table\"><table>\n<tr><th>" + escapeHtml(say(Text::FileTitle, lang)) + "</th><th>" +
            escapeHtml(say(Text::Uploaded, lang)) + "</th><th class=\"num\">" + escapeHtml(say(Text::Size, lang)) +
            "</th><th class=\"num\">" + escapeHtml(say(Text::Downloads, lang)) + "</th></tr>\n";
    for (const FileEntry& f : files) {
        html += "<tr><td><a href=\"/file/" + std::to_string(f.id) + "\">" + lineOf(f.title) + "</a></td><td>" +
                escapeHtml(f.uploaded) + "</td><td class=\"num\">" + escapeHtml(byteCount(f.size, lang)) +
                "</td><td class=\"num\">" + std::to_string(f.downloads) + "</td></tr>\n";
    }
    html += "</table></div>\n";
    return renderPage(request, lang, page);
}

Reply DownloadPages::file(const Request& request, Lang lang, int64_t id) {
    auto found = context.store.file(id);
    if (!found) return notFoundPage(request, lang);
    const FileEntry& f = *found;
    PageContent page;
    page.title = plainTextOf(f.title);
    page.section = Section::Downloads;
    std::string& html = page.mainHtml;
    html += "<p class=\"crumbs\"><a href=\"/files\">" + escapeHtml(say(Text::Downloads, lang)) + "</a> / <a href=\"" +
            escapeAttribute(categoryUrl(f.category)) + "\">" + escapeHtml(f.category) + "</a> /</p>\n";
    html += "<h1>" + lineOf(f.title) + "</h1>\n<div class=\"card\">\n<dl class=\"stats\">\n";
    auto row = [&](Text label, const std::string& valueHtml) {
        html += "<dt>" + escapeHtml(say(label, lang)) + "</dt><dd>" + valueHtml + "</dd>\n";
    };
    row(Text::File, escapeHtml(f.name));
    row(Text::Uploader, lineOf(f.uploader));
    row(Text::Uploaded, escapeHtml(f.uploaded));
    row(Text::Size, escapeHtml(byteCount(f.size, lang)));
    row(Text::Downloads, std::to_string(f.downloads));
    html += "</dl>\n" + paragraphsHtml(plainTextOf(f.description));
    html += "<div class=\"buttons\"><a class=\"button\" href=\"" + escapeAttribute(downloadUrl(f)) + "\" download=\"" +
            escapeAttribute(f.name) + "\">" + escapeHtml(say(Text::Download, lang)) + "</a></div>\n</div>\n";
    return renderPage(request, lang, page);
}

}  // namespace srv::web
