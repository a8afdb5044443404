// Only stat/opendir/unlink touch the disk, so that the emulated host's root
// redirection applies to every step.
#include "community/download_target.h"
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <cstring>
#include "host/ehttp.h"
#include "settings/paths.h"

namespace downloads {

namespace {

// UTF-8 sequences of the characters that change how text around them is
// ordered or broken: the bidirectional embeddings, overrides and isolates,
// the direction marks, the line and paragraph separators; and the C1
// controls (U+0080 to U+009F).
bool hiddenFormattingAt(const eString& name, size_t at) {
    auto byte = [&](size_t i) { return i < name.size() ? static_cast<unsigned char>(name[i]) : 0u; };
    unsigned first = byte(at), second = byte(at + 1), third = byte(at + 2);
    if (first == 0xC2) return second >= 0x80 && second <= 0x9F;                     // C1 controls
    if (first == 0xD8) return second == 0x9C;                                       // U+061C
    if (first != 0xE2) return false;
    if (second == 0x80) return third == 0x8E || third == 0x8F || (third >= 0xA8 && third <= 0xAE);  // U+200E/F, U+2028-202E
    if (second == 0x81) return third >= 0xA6 && third <= 0xA9;                      // U+2066-2069
    return false;
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// `path` with "." and ".." resolved and slashes single, by its text.
eString lexicallyNormal(const eString& path) {
    std::string out;
    size_t at = 0;
    while (at < path.size()) {
        size_t end = path.find('/', at);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(at, end - at);
        at = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            size_t slash = out.rfind('/');
            out.resize(slash == std::string::npos ? 0 : slash);
            continue;
        }
        out += "/" + part;
    }
    return out.empty() ? eString("/") : eString(out);
}

// The directory part of an absolute path, with its final slash.
eString directoryOf(const eString& path) { return path.substr(0, path.rfind('/') + 1); }
eString nameOf(const eString& path) { return path.substr(path.rfind('/') + 1); }

bool leftoverPart(const char* name) {
    const char* marker = std::strstr(name, eHTTPDownload::partialMarker);
    if (!marker) return false;
    // PID-N, both decimal, to the end of the name: nothing a user named.
    const char* at = marker + std::strlen(eHTTPDownload::partialMarker);
    auto digits = [&at] {
        const char* from = at;
        while (std::isdigit(static_cast<unsigned char>(*at))) ++at;
        return at > from;
    };
    return digits() && *at++ == '-' && digits() && *at == '\0';
}

}  // namespace

bool usableName(const eString& name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find(eHTTPDownload::partialMarker) != std::string::npos) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
        if (hiddenFormattingAt(name, i)) return false;
    }
    return true;
}

bool isPluginFile(const eString& directory, const eString& name) {
    const eString settingsSave = eString(paths::settingsFile) + paths::savingSuffix;
    const eString ownFiles[] = {paths::settingsFile, settingsSave, paths::feedFile, paths::articleFile,
                                paths::shoutFile, paths::logo, paths::aboutLogo};
    const eString target = lexicallyNormal(directory + "/" + name);
    struct stat targetDir {}, targetFile {}, own {};
    bool haveDir = stat(directory.c_str(), &targetDir) == 0;
    bool haveFile = stat((directory + "/" + name).c_str(), &targetFile) == 0;

    if (directoryOf(target) == paths::pluginDirectory) return true;
    if (haveDir && stat(paths::pluginDirectory, &own) == 0 && sameFile(targetDir, own)) return true;
    for (const eString& path : ownFiles) {
        if (target == path) return true;
        if (name == nameOf(path) && haveDir && stat(directoryOf(path).c_str(), &own) == 0 && sameFile(targetDir, own))
            return true;
        if (haveFile && stat(path.c_str(), &own) == 0 && sameFile(targetFile, own)) return true;
    }
    return false;
}

void removeLeftoverParts(const eString& directory, const std::timespec& since) {
    DIR* dir = opendir(directory.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        if (!leftoverPart(entry->d_name)) continue;
        eString path = directory + "/" + entry->d_name;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        bool older = st.st_mtim.tv_sec < since.tv_sec ||
                     (st.st_mtim.tv_sec == since.tv_sec && st.st_mtim.tv_nsec < since.tv_nsec);
        if (older) unlink(path.c_str());
    }
    closedir(dir);
}

}  // namespace downloads
