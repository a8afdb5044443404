/* Definitions of the C library's path-taking file functions. Linked into the
   executable, they take precedence over libc (and over the sanitizer's
   interceptors, which RTLD_NEXT then reaches) for the whole process. Each
   rewrites box paths under the current root and forwards to the next
   definition of the same symbol. Written in C so that the definitions match
   the C library's declarations exactly. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include "emu/fileroot/redirect.h"

/* Not declared without _FORTIFY_SOURCE; called by fortified callers. */
int __open_2(const char* path, int flags);
int __open64_2(const char* path, int flags);
int __openat_2(int dirfd, const char* path, int flags);
int __openat64_2(int dirfd, const char* path, int flags);

void lumen_fileroot_interposers_linked(void) {}

/* The next definition of `name`, looked up once. A missing one fails the
   call with ENOSYS rather than pretending success. */
#define REAL(name, fail)                                                  \
    static __typeof__(name)* cached;                                      \
    __typeof__(name)* real = __atomic_load_n(&cached, __ATOMIC_ACQUIRE);  \
    if (!real) {                                                          \
        real = (__typeof__(name)*)dlsym(RTLD_NEXT, #name);                \
        __atomic_store_n(&cached, real, __ATOMIC_RELEASE);                \
    }                                                                     \
    if (!real) { errno = ENOSYS; return fail; }

#define REDIRECT(var, path, fail)                                         \
    char var##Buffer[PATH_MAX];                                           \
    const char* var = lumen_fileroot_redirect(path, var##Buffer, PATH_MAX); \
    if (!var) return fail;

/* A function whose first path argument is named `path`. */
#define PATH_FN(ret, fail, name, params, args)                            \
    ret name params {                                                     \
        REAL(name, fail)                                                  \
        REDIRECT(p, path, fail)                                           \
        return real args;                                                 \
    }

PATH_FN(FILE*, NULL, fopen, (const char* path, const char* mode), (p, mode))
PATH_FN(FILE*, NULL, fopen64, (const char* path, const char* mode), (p, mode))
PATH_FN(FILE*, NULL, freopen, (const char* path, const char* mode, FILE* stream), (p, mode, stream))
PATH_FN(FILE*, NULL, freopen64, (const char* path, const char* mode, FILE* stream), (p, mode, stream))
PATH_FN(int, -1, creat, (const char* path, mode_t mode), (p, mode))
PATH_FN(int, -1, creat64, (const char* path, mode_t mode), (p, mode))
PATH_FN(int, -1, __open_2, (const char* path, int flags), (p, flags))
PATH_FN(int, -1, __open64_2, (const char* path, int flags), (p, flags))
PATH_FN(int, -1, __openat_2, (int dirfd, const char* path, int flags), (dirfd, p, flags))
PATH_FN(int, -1, __openat64_2, (int dirfd, const char* path, int flags), (dirfd, p, flags))
PATH_FN(int, -1, unlink, (const char* path), (p))
PATH_FN(int, -1, unlinkat, (int dirfd, const char* path, int flags), (dirfd, p, flags))
PATH_FN(int, -1, remove, (const char* path), (p))
PATH_FN(DIR*, NULL, opendir, (const char* path), (p))
PATH_FN(int, -1, mkdir, (const char* path, mode_t mode), (p, mode))
PATH_FN(int, -1, mkdirat, (int dirfd, const char* path, mode_t mode), (dirfd, p, mode))
PATH_FN(int, -1, rmdir, (const char* path), (p))
PATH_FN(int, -1, stat, (const char* path, struct stat* buf), (p, buf))
PATH_FN(int, -1, stat64, (const char* path, struct stat64* buf), (p, buf))
PATH_FN(int, -1, lstat, (const char* path, struct stat* buf), (p, buf))
PATH_FN(int, -1, lstat64, (const char* path, struct stat64* buf), (p, buf))
PATH_FN(int, -1, fstatat, (int dirfd, const char* path, struct stat* buf, int flags), (dirfd, p, buf, flags))
PATH_FN(int, -1, fstatat64, (int dirfd, const char* path, struct stat64* buf, int flags), (dirfd, p, buf, flags))
PATH_FN(int, -1, statx, (int dirfd, const char* path, int flags, unsigned mask, struct statx* buf),
        (dirfd, p, flags, mask, buf))
PATH_FN(int, -1, access, (const char* path, int mode), (p, mode))
PATH_FN(int, -1, faccessat, (int dirfd, const char* path, int mode, int flags), (dirfd, p, mode, flags))
PATH_FN(int, -1, truncate, (const char* path, off_t length), (p, length))
PATH_FN(int, -1, truncate64, (const char* path, off64_t length), (p, length))
PATH_FN(int, -1, chmod, (const char* path, mode_t mode), (p, mode))

/* open and openat are variadic: the mode is there only when the call may
   create a file. */
static int takesMode(int flags) {
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

#define MODE_ARG(mode, flags)                                             \
    mode_t mode = 0;                                                      \
    if (takesMode(flags)) {                                               \
        va_list ap;                                                       \
        va_start(ap, flags);                                              \
        mode = (mode_t)va_arg(ap, int);                                   \
        va_end(ap);                                                       \
    }

#define OPEN_FN(name)                                                     \
    int name(const char* path, int flags, ...) {                          \
        REAL(name, -1)                                                    \
        MODE_ARG(mode, flags)                                             \
        REDIRECT(p, path, -1)                                             \
        return real(p, flags, mode);                                      \
    }
#define OPENAT_FN(name)                                                   \
    int name(int dirfd, const char* path, int flags, ...) {               \
        REAL(name, -1)                                                    \
        MODE_ARG(mode, flags)                                             \
        REDIRECT(p, path, -1)                                             \
        return real(dirfd, p, flags, mode);                               \
    }
OPEN_FN(open)
OPEN_FN(open64)
OPENAT_FN(openat)
OPENAT_FN(openat64)

/* Two paths each. */
int rename(const char* from, const char* to) {
    REAL(rename, -1)
    REDIRECT(f, from, -1)
    REDIRECT(t, to, -1)
    return real(f, t);
}

int renameat(int fromfd, const char* from, int tofd, const char* to) {
    REAL(renameat, -1)
    REDIRECT(f, from, -1)
    REDIRECT(t, to, -1)
    return real(fromfd, f, tofd, t);
}

int renameat2(int fromfd, const char* from, int tofd, const char* to, unsigned flags) {
    REAL(renameat2, -1)
    REDIRECT(f, from, -1)
    REDIRECT(t, to, -1)
    return real(fromfd, f, tofd, t, flags);
}
