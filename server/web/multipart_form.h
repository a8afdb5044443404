// A multipart/form-data body (an upload form) split into its fields and
// files, within bounds: number of parts, size of part heads, of text
// fields and of files. Anything outside them is refused whole.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace srv::web {

struct MultipartLimits {
    size_t maxParts = 16;
    size_t maxHeadBytes = 2048;        // the header lines of one part
    size_t maxFieldBytes = 256 * 1024;  // a part without a file name
    size_t maxFileBytes = 64 * 1024 * 1024;
};

enum class MultipartError { None, NotMultipart, Malformed, TooManyParts, FieldTooLarge, FileTooLarge };

struct FormPart {
    std::string name;
    std::string fileName;  // as the browser sent it: data only, never a path
    bool isFile = false;
    std::string data;
};

class MultipartForm {
public:
    // Splits `body` sent with `contentType`; on an error the form is empty.
    MultipartError parse(std::string_view contentType, std::string_view body, const MultipartLimits& limits);
    // The first text field `name`, or "".
    std::string field(const std::string& name) const;
    // The first file part `name`, or nullptr.
    const FormPart* file(const std::string& name) const;

private:
    std::vector<FormPart> parts;
};

// The boundary of a multipart content type, or "" when there is none or
// it is not one RFC 2046 allows (1 to 70 characters).
std::string multipartBoundary(std::string_view contentType);

}  // namespace srv::web
