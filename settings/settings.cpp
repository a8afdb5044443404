#include "settings/settings.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include "settings/paths.h"
#include "text/decimal.h"
#include "text/text_cleaning.h"

#define EXPORTED __attribute__((visibility("default")))

extern "C" {
EXPORTED int CORLANG = 0;
EXPORTED eString CORDDIR;
EXPORTED eString CORNICK;
}

namespace {

// 255 bytes of a line, line feed included, plus the terminator: a longer
// line arrives in pieces, each taken as a line of its own.
constexpr int kLineBuffer = 256;

// The value text of a line: everything from its first "=" on, with every
// "=" and line break deleted (a file saved with CR LF line ends would
// otherwise name a directory ending in a carriage return).
eString valueOf(const char* line) {
    eString value(std::strchr(line, '='));
    value = replaceAll(value, "=", "");
    value = replaceAll(value, "\r", "");
    return replaceAll(value, "\n", "");
}

void applyLine(char* line) {
    if (std::strstr(line, "lang=")) {
        // In place, so the key tests below no longer match this line.
        char* value = std::strchr(line, '=');
        replace(value, "=", "");
        replace(value, "\n", "");
        CORLANG = readDecimal(value);
    }
    if (std::strstr(line, "down=")) {
        eString dir = valueOf(line);
        trim1(dir);
        CORDDIR = dir;
    }
    if (std::strstr(line, "nick=")) {
        eString nick = valueOf(line);
        replace_sonderzeichen(nick);
        nick = substituteForRequest(nick);
        trim1(nick);
        CORNICK = nick;
    }
}

// The settings file, when it is a regular file. A FIFO would block the
// start (so the open does not wait for a writer) and a device such as
// /dev/zero would never end; both leave the defaults.
FILE* openSettingsFile() {
    int fd = open(paths::settingsFile, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status;
    FILE* f = nullptr;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) f = fdopen(fd, "r");
    if (!f) close(fd);
    return f;
}

}  // namespace

void retrieveConfig() {
    if (FILE* f = openSettingsFile()) {
        char line[kLineBuffer];
        while (std::fgets(line, sizeof line, f)) applyLine(line);
        std::fclose(f);
    }
    if (CORLANG == 0) CORLANG = 1;
    if (CORDDIR.empty()) CORDDIR = paths::defaultDownloadDir;
    if (CORNICK.empty()) CORNICK = "Guest";
}
