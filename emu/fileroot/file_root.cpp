#include "emu/file_root.h"
#include <pthread.h>
#include <cerrno>
#include <climits>
#include <cstring>
#include "emu/fileroot/redirect.h"

namespace {

// Read by every interposed call, possibly from other threads (the HTTP
// client's resolver), and possibly before static constructors have run:
// hence a plain buffer under a statically initialised mutex.
pthread_mutex_t rootLock = PTHREAD_MUTEX_INITIALIZER;
char rootBuffer[PATH_MAX];
size_t rootLength = 0;

bool underDir(const char* path, const char* dir, size_t n) {
    return strncmp(path, dir, n) == 0 && (path[n] == '\0' || path[n] == '/');
}

bool isBoxPath(const char* path) {
    return underDir(path, "/var", 4) || underDir(path, "/media", 6) || underDir(path, "/mnt", 4);
}

// Absolute `path` with "//", "." and ".." resolved by its text alone; ".."
// stops at "/", as in a chroot. A trailing slash stays. False when the
// result does not fit `size`.
bool normalize(const char* path, char* out, size_t size) {
    size_t length = 0;
    bool directory = false;
    for (const char* at = path; *at;) {
        while (*at == '/') ++at;
        const char* end = at;
        while (*end && *end != '/') ++end;
        size_t n = static_cast<size_t>(end - at);
        directory = n == 0 || (n == 1 && at[0] == '.') || (n == 2 && at[0] == '.' && at[1] == '.');
        if (n == 2 && at[0] == '.' && at[1] == '.') {
            while (length > 0 && out[length - 1] != '/') --length;
            if (length > 0) --length;  // the slash before the dropped name
        } else if (!directory) {
            if (length + 1 + n + 1 > size) return false;
            out[length++] = '/';
            memcpy(out + length, at, n);
            length += n;
        }
        at = end;
    }
    if (length == 0 || directory) {
        if (length + 2 > size) return false;
        out[length++] = '/';
    }
    out[length] = '\0';
    return true;
}

// The path that `path` names under `root` ("" and 0: no root): a box path,
// before or after normalising, becomes root + the normalised path, so that
// no ".." leads out of the root. A path already inside the root is left
// alone (normalised), so that code which resolved a box path itself can open
// the result without getting the root twice (possible when the root itself
// lies below /var, /media or /mnt). Other paths stay as they are. Null
// (errno ENAMETOOLONG) when the result does not fit `size`.
const char* mapPath(const char* path, const char* root, size_t rootLen, char* buffer, size_t size) {
    if (rootLen == 0 || path[0] != '/') return path;
    char normal[PATH_MAX];
    if (!normalize(path, normal, sizeof normal)) return nullptr;
    size_t normalLen = strlen(normal);
    size_t prefix = 0;
    if (!underDir(normal, root, rootLen)) {
        if (!isBoxPath(path) && !isBoxPath(normal)) return path;
        prefix = rootLen;
    }
    if (prefix + normalLen + 1 > size) return nullptr;
    memcpy(buffer, root, prefix);
    memcpy(buffer + prefix, normal, normalLen + 1);
    return buffer;
}

// Only these can map to a different path: the common case goes unlocked.
bool mayMap(const char* path) {
    return path && path[0] == '/' && (isBoxPath(path) || strstr(path, "/.") || strstr(path, "//"));
}

}  // namespace

extern "C" const char* lumen_fileroot_redirect(const char* path, char* buffer, size_t size) {
    if (!mayMap(path)) return path;
    pthread_mutex_lock(&rootLock);
    const char* result = mapPath(path, rootBuffer, rootLength, buffer, size);
    pthread_mutex_unlock(&rootLock);
    if (!result) errno = ENAMETOOLONG;
    return result;
}

namespace emu {

namespace {
std::string& publicRoot() {
    static std::string root;
    return root;
}
}  // namespace

void setFileRoot(const std::string& root) {
    lumen_fileroot_interposers_linked();
    std::string clean = root;
    while (clean.size() > 1 && clean.back() == '/') clean.pop_back();  // no ROOT//var
    if (clean.size() >= PATH_MAX) clean.clear();
    pthread_mutex_lock(&rootLock);
    memcpy(rootBuffer, clean.c_str(), clean.size() + 1);
    rootLength = clean.size();
    pthread_mutex_unlock(&rootLock);
    publicRoot() = clean;
}

const std::string& fileRoot() { return publicRoot(); }

std::string resolveBoxPath(const std::string& root, const std::string& boxPath) {
    if (!mayMap(boxPath.c_str())) return boxPath;
    char buffer[PATH_MAX];
    const char* mapped = mapPath(boxPath.c_str(), root.c_str(), root.size(), buffer, sizeof buffer);
    return mapped ? mapped : "";
}

std::string resolveBoxPath(const std::string& boxPath) { return resolveBoxPath(fileRoot(), boxPath); }

}  // namespace emu
