// eString: the host's byte string. A std::string with the two extras the
// plug-in uses. Bytes, not characters: no encoding is assumed.
#pragma once
#include <string>
#include "host_api.h"

class HOST_API eString : public std::string {
public:
    using std::string::string;
    eString() = default;
    eString(const std::string& s) : std::string(s) {}
    eString(std::string&& s) : std::string(std::move(s)) {}

    // printf-style formatting; replaces the content and returns *this.
    eString& sprintf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Deletes every occurrence of one byte; returns *this.
    eString& removeChars(char c);
};
