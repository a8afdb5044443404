// Puts a file into the download folder so that a reader never sees half
// a file and nothing is written through a symbolic link: the copy goes to
// a temporary name in the folder, is synced, then renamed over the name.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace srv {

// Why a file was not added; the text is one line for the operator.
struct FileAddError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Copies the regular file `source` into `folder` (made if missing) as
// `name` and returns its size. Refuses a source that is a symbolic link or
// not a regular file, a folder that is a symbolic link, and a source that
// already is that file of the folder (copying it over itself would lose it).
int64_t addToFilesFolder(const std::string& source, const std::string& folder, const std::string& name);

}  // namespace srv
