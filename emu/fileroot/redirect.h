/* The rewriting rule, shared by the public API (file_root.cpp) and the
   interposed C library functions (interpose.c). Internal to lumen_fileroot. */
#pragma once
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Returns the path that `path` resolves to: `path` itself, or `buffer`
   holding ROOT + path. NULL (errno ENAMETOOLONG) when that does not fit. */
const char* lumen_fileroot_redirect(const char* path, char* buffer, size_t size);

/* Does nothing. Setting a root calls it, so that a program that sets a root
   always links the interposers too, even when they come from an archive and
   the program itself calls none of the redirected functions. */
void lumen_fileroot_interposers_linked(void);

#ifdef __cplusplus
}
#endif
