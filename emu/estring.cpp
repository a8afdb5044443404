#include "host/estring.h"
#include <algorithm>
#include <cstdarg>
#include <cstdio>

eString& eString::sprintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) {
        clear();
    } else {
        std::string out(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(n));
        assign(std::move(out));
    }
    va_end(args);
    return *this;
}

eString& eString::removeChars(char c) {
    erase(std::remove(begin(), end(), c), end());
    return *this;
}
