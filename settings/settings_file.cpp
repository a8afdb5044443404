#include "settings/settings_file.h"
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include "settings/paths.h"
#include "text/text_cleaning.h"

namespace {

// The reader takes at most this many bytes of a line (line feed included)
// in one piece; a longer line would be read back cut.
constexpr size_t kLongestLine = 255;

bool linesFitReader(const eString& content) {
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        size_t length = (end == eString::npos ? content.size() : end + 1) - start;
        if (length > kLongestLine) return false;
        start += length;
    }
    return true;
}

void syncDirectoryOf(const eString& path) {
    eString dir = path.substr(0, path.rfind('/') + 1);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename is done; this only hastens it to disk
    fsync(fd);
    close(fd);
}

}  // namespace

bool normaliseDirectory(eString& directory) {
    trim1(directory);
    DIR* dir = opendir(directory.c_str());
    if (!dir) return false;
    closedir(dir);
    directory = replaceAll(directory + "/", "//", "/");
    return true;
}

bool cleanNickname(eString& nickname) {
    trim1(nickname);
    if (nickname.empty()) return false;
    nickname = substituteForRequest(nickname);
    return true;
}

eString settingsText(int language, const eString& directory, const eString& nickname) {
    eString text = language == 2 ? "lang=2\n" : language == 3 ? "lang=3\n" : "lang=1\n";
    text += "down=" + directory + "\n";
    text += "nick=" + nickname + "\n";
    return text;
}

bool writeFileAtomically(const char* path, const eString& content) {
    eString temporary = eString(path) + paths::savingSuffix;
    unlink(temporary.c_str());  // a leftover of an interrupted save
    // A file that exists keeps its permission bits: a private 0600 file
    // stays private. A new one gets what fopen would give it.
    struct stat old;
    bool exists = stat(path, &old) == 0;
    mode_t mode = exists ? (old.st_mode & 07777) : 0666;
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return false;
    if (exists) fchmod(fd, mode);  // past the umask; failing, it only narrows
    FILE* f = fdopen(fd, "w");
    if (!f) {
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), path) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    syncDirectoryOf(path);
    return true;
}

SaveResult saveSettings(int language, eString directory, eString nickname) {
    if (!normaliseDirectory(directory)) return SaveResult::NoDirectory;
    if (!cleanNickname(nickname)) return SaveResult::NoNickname;
    eString text = settingsText(language, directory, nickname);
    // Multi-byte characters can take a directory of 100 characters past
    // what the reader takes in one line.
    if (!linesFitReader(text)) return SaveResult::WriteFailed;
    if (!writeFileAtomically(paths::settingsFile, text)) return SaveResult::WriteFailed;
    return SaveResult::Saved;
}
