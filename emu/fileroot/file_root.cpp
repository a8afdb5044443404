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

// A path already inside the root is left alone, so that code which resolved
// a box path itself can open the result without getting the root twice
// (possible when the root itself lies below /var, /media or /mnt).
bool needsRoot(const char* path, const char* root, size_t rootLen) {
    return rootLen > 0 && isBoxPath(path) && !underDir(path, root, rootLen);
}

}  // namespace

extern "C" const char* lumen_fileroot_redirect(const char* path, char* buffer, size_t size) {
    if (!path || !isBoxPath(path)) return path;  // the common case, without locking
    const char* result = path;
    pthread_mutex_lock(&rootLock);
    if (needsRoot(path, rootBuffer, rootLength)) {
        size_t pathLen = strlen(path);
        if (rootLength + pathLen + 1 > size) {
            result = nullptr;
        } else {
            memcpy(buffer, rootBuffer, rootLength);
            memcpy(buffer + rootLength, path, pathLen + 1);
            result = buffer;
        }
    }
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
    if (!needsRoot(boxPath.c_str(), root.c_str(), root.size())) return boxPath;
    return root + boxPath;
}

std::string resolveBoxPath(const std::string& boxPath) { return resolveBoxPath(fileRoot(), boxPath); }

}  // namespace emu
