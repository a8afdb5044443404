#include "heap_meter.h"
#include <malloc.h>
#include <atomic>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {
std::atomic<long long> held{0};
std::atomic<long long> peak{0};
std::atomic<long long> base{0};

void add(void* p) {
    if (!p) return;
    long long now = held += static_cast<long long>(malloc_usable_size(p));
    long long seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}
void sub(void* p) {
    if (p) held -= static_cast<long long>(malloc_usable_size(p));
}
}  // namespace

extern "C" {
void* malloc(size_t n) {
    void* p = __libc_malloc(n);
    add(p);
    return p;
}
void* calloc(size_t n, size_t size) {
    void* p = __libc_calloc(n, size);
    add(p);
    return p;
}
void* realloc(void* old, size_t n) {
    sub(old);
    void* p = __libc_realloc(old, n);
    // A failed realloc keeps the old block.
    add(p ? p : (n ? old : nullptr));
    return p;
}
void free(void* p) {
    sub(p);
    __libc_free(p);
}
}

namespace heapmeter {
void resetPeak() {
    base = held.load();
    peak = base.load();
}
long long peakSinceReset() { return peak.load() - base.load(); }
}  // namespace heapmeter
