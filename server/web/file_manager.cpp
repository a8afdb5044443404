#include "server/web/file_manager.h"

#include "server/site_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <ctime>

#include "server/store.h"
#include "server/text_codec.h"
#include "server/web/escape.h"
#include "server/web/formats.h"
#include "server/web/operator_sessions.h"
#include "server/web/page_frame.h"
#include "server/web/public_pages.h"

namespace srv::web {

namespace {

constexpr size_t maxExtension = 8;
constexpr size_t maxLineBytes = 200;
constexpr size_t randomHexDigits = 8;

// A plain extension: letters and digits, at most maxExtension of them.
bool plainExtension(const std::string& text) {
    if (text.empty() || text.size() > maxExtension) return false;
    for (unsigned char c : text)
        if (!std::isalnum(c) || c >= 0x80) return false;
    return true;
}

// Writes the whole file and syncs it before it gets its name, so a row
// never points at half a file.
bool writeFile(const std::string& path, const std::string& data) {
    std::string part = path + ".part";
    int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(part.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(part.c_str());
    return ok;
}

std::string today() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char day[16];
    std::strftime(day, sizeof day, "%Y-%m-%d", &tm);
    return day;
}

std::string oneLine(const std::string& text) {
    return validUtf8(text) && !hasControlBytes(text) && text.size() <= maxLineBytes ? text : "";
}

}  // namespace

std::string storedFileName(const std::string& category, const std::string& typedName, const std::string& day,
                           const std::string& randomHex) {
    auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::string name;
    for (unsigned char c : category)
        if (std::isalnum(c) && c < 0x80) name += static_cast<char>(std::tolower(c));
    if (name.empty()) name = "file";
    name += "-";
    for (char c : day)
        if (c != '-') name += c;
    name += "-" + randomHex;
    // "x.tar.gz" keeps ".tar.gz", "x.ipk" keeps ".ipk"; anything else no extension.
    size_t dot = typedName.rfind('.');
    if (dot != std::string::npos && dot > 0 && plainExtension(typedName.substr(dot + 1))) {
        if (dot >= 4 && lower(typedName.substr(dot - 4, 4)) == ".tar") name += ".tar";
        name += "." + lower(typedName.substr(dot + 1));
    }
    return name;
}

Reply FileManager::list(const OperatorCall& call) {
    return listWith(call, call.request.query.get("done") == "1" ? noticeHtml(Text::Done, call.lang, true) : "", 200);
}

Reply FileManager::listWith(const OperatorCall& call, const std::string& notice, int status) {
    Lang lang = call.lang;
    auto categories = context.store.categories();
    std::string html = "<h1>" + escapeHtml(say(Text::Downloads, lang)) + "</h1>\n" + notice;
    html += "<form class=\"stack card\" method=\"post\" action=\"" + std::string(uploadPath) +
            "\" enctype=\"multipart/form-data\">\n" +
            csrfField(call) + "\n<h2>" + escapeHtml(say(Text::Upload, lang)) + "</h2>\n";
    html += "<label for=\"category\">" + escapeHtml(say(Text::Category, lang)) + "</label>\n<select id=\"category\" name=\"category\">";
    for (const std::string& c : categories)
        html += "<option value=\"" + escapeAttribute(c) + "\">" + escapeHtml(c) + "</option>";
    html += "</select>\n<label for=\"file\">" + escapeHtml(say(Text::File, lang)) +
            "</label>\n<input type=\"file\" id=\"file\" name=\"file\" required>\n<p class=\"hint\">≤ " +
            escapeHtml(byteCount(static_cast<int64_t>(context.settings.uploadMaxBytes), lang)) + "</p>\n";
    for (const auto& [name, label] : {std::pair<const char*, Text>{"title", Text::FileTitle}, {"uploader", Text::Uploader}})
        html += "<label for=\"" + std::string(name) + "\">" + escapeHtml(say(label, lang)) + "</label>\n<input type=\"text\" id=\"" +
                name + "\" name=\"" + name + "\" maxlength=\"" + std::to_string(maxLineBytes) + "\">\n";
    html += "<label for=\"description\">" + escapeHtml(say(Text::Description, lang)) +
            "</label>\n<input type=\"text\" id=\"description\" name=\"description\">\n";
    html += "<div class=\"buttons\"><button type=\"submit\">" + escapeHtml(say(Text::Upload, lang)) + "</button></div>\n</form>\n";
    for (const std::string& c : categories) {
        auto files = context.store.files(c);
        html += "<h2>" + escapeHtml(c) + "</h2>\n";
        if (files.empty()) {
            html += "<p class=\"hint\">" + escapeHtml(say(Text::NoFiles, lang)) + "</p>\n";
            continue;
        }
        html += "<div class=\"card table\"><table>\n";
        for (const FileEntry& f : files) {
            html += "<tr><td><a href=\"/file/" + std::to_string(f.id) + "\">" + lineOf(f.title) + "</a><br><span class=\"when\">" +
                    escapeHtml(f.name) + "</span></td><td class=\"num\">" + escapeHtml(byteCount(f.size, lang)) +
                    "</td><td class=\"num\">" + std::to_string(f.downloads) +
                    "</td><td><form class=\"inline\" method=\"post\" action=\"/admin/files/remove\">" + csrfField(call) +
                    "<input type=\"hidden\" name=\"id\" value=\"" + std::to_string(f.id) + "\"><button class=\"danger\" type=\"submit\">" +
                    escapeHtml(say(Text::Remove, lang)) + "</button></form></td></tr>\n";
        }
        html += "</table></div>\n";
    }
    return adminPage(call, AdminTab::Files, say(Text::Downloads, lang), html, status);
}

Reply FileManager::upload(const OperatorCall& call) {
    const FormPart* part = call.upload.file("file");
    std::string category = call.field("category");
    if (!call.multipart || !part || part->data.empty() || !context.store.categoryExists(category))
        return listWith(call, noticeHtml(Text::UploadFailed, call.lang, false), 400);
    FileEntry f;
    f.category = category;
    f.uploaded = today();
    // A random part that is already taken is drawn again.
    do {
        f.name = storedFileName(category, part->fileName, f.uploaded, randomToken().substr(0, randomHexDigits));
    } while (context.store.fileNamed(f.name));
    std::string typed = oneLine(part->fileName);
    std::string title = oneLine(call.field("title"));
    f.title = htmlEscape(title.empty() ? (typed.empty() ? f.name : typed) : title);
    std::string uploader = oneLine(call.field("uploader"));
    f.uploader = htmlEscape(uploader.empty() ? "Operator" : uploader);
    std::string description = call.field("description");
    f.description = validUtf8(description) ? htmlEscape(description) : "";
    f.size = static_cast<int64_t>(part->data.size());
    ::mkdir(context.settings.filesDir.c_str(), 0755);
    std::string path = context.settings.filesDir + "/" + f.name;
    if (!writeFile(path, part->data)) return listWith(call, noticeHtml(Text::UploadFailed, call.lang, false), 500);
    try {
        f.id = context.store.addFile(f);
    } catch (...) {
        ::unlink(path.c_str());
        throw;
    }
    logAction(context, call.request,
              "uploaded file " + std::to_string(f.id) + " to " + category + " as " + f.name + " (sent as \"" + typed + "\", " +
                  std::to_string(f.size) + " bytes)");
    context.site.storeChanged();
    return redirectTo("/admin/files?done=1");
}

Reply FileManager::remove(const OperatorCall& call) {
    auto found = context.store.file(idOf(call.field("id")));
    if (found && context.store.removeFile(found->id)) {
        if (isSafeFileName(found->name)) ::unlink((context.settings.filesDir + "/" + found->name).c_str());
        logAction(context, call.request, "removed file " + std::to_string(found->id) + " (" + found->name + ")");
        context.site.storeChanged();
    }
    return redirectTo("/admin/files?done=1");
}

}  // namespace srv::web
