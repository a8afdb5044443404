// Writes and lists files the way a plug-in does, from a separately loaded
// shared object.
#include <dirent.h>
#include <cstdio>
#include <cstring>

extern "C" __attribute__((visibility("default"))) int probe_write(const char* path, const char* text) {
    FILE* file = fopen(path, "w");
    if (!file) return -1;
    fputs(text, file);
    return fclose(file);
}

extern "C" __attribute__((visibility("default"))) int probe_count_entries(const char* dir) {
    DIR* d = opendir(dir);
    if (!d) return -1;
    int n = 0;
    while (dirent* e = readdir(d))
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) ++n;
    closedir(d);
    return n;
}
