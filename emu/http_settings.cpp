// Box paths only through opendir/stat/unlink: the runner's root redirection
// applies (emu/file_root.h).
#include "emu/http_settings.h"
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <ctime>
#include "emu/http_multi.h"
#include "host/ehttp.h"

namespace emu {

void setHttpConnectTo(const std::string& spec) { HttpMulti::options().connectTo = spec; }

void setHttpTimeouts(long connectMs, long stallSeconds) {
    HttpOptions& options = HttpMulti::options();
    options.connectTimeoutMs = connectMs > 0 ? connectMs : 10000;
    options.stallSeconds = stallSeconds > 0 ? stallSeconds : 30;
}

void setHttpMaxReplyBytes(long long bytes) {
    HttpMulti::options().maxReplyBytes = bytes > 0 ? bytes : HttpOptions::kDefaultMaxReplyBytes;
}

void removeStaleParts(const std::string& boxDir, const timespec& since) {
    DIR* dir = opendir(boxDir.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        if (!strstr(entry->d_name, eHTTPDownload::partialMarker)) continue;
        std::string path = boxDir + "/" + entry->d_name;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        bool older = st.st_mtim.tv_sec < since.tv_sec ||
                     (st.st_mtim.tv_sec == since.tv_sec && st.st_mtim.tv_nsec < since.tv_nsec);
        if (older) unlink(path.c_str());
    }
    closedir(dir);
}

}  // namespace emu
