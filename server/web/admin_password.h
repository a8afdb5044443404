// The operator's password: kept in the store as a slow salted hash
// (libsodium's crypto_pwhash_str), set with "lumen-server admin-password".
#pragma once
#include <istream>
#include <string>

namespace srv {
class Store;
}

namespace srv::web {

// The store's setting that holds the hash.
inline constexpr const char* passwordSetting = "operator_password";
inline constexpr size_t minPasswordBytes = 8;
inline constexpr size_t maxPasswordBytes = 1024;

std::string hashPassword(const std::string& password);
// False for a wrong password or an unusable hash. One check at a time:
// each takes tens of megabytes for a moment.
bool verifyPassword(const std::string& hash, const std::string& password);

// Reads the new password as one line from `in` (without echo when it is
// a terminal), checks it and stores its hash. Returns what it did;
// throws std::invalid_argument for an unusable password.
std::string setPasswordFrom(std::istream& in, Store& store);

}  // namespace srv::web
