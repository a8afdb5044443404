// Query strings as a web server reads them. The plug-in sends its values
// unescaped, so a value may hold "=" and stray "%".
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace srv {

// "%XX" becomes its byte and "+" a blank; a "%" not followed by two hex
// digits stays as it is.
std::string decodeQueryValue(const std::string& text);

class Query {
public:
    // `query` is the part after "?": pairs split at "&", each at its first "=".
    explicit Query(const std::string& query = "");
    // The decoded value of the first pair named `key`; "" if there is none.
    std::string get(const std::string& key) const;
    bool has(const std::string& key) const;

private:
    std::vector<std::pair<std::string, std::string>> pairs;
};

// The query part of a request target ("" without "?").
std::string queryOf(const std::string& target);

}  // namespace srv
