#include "server/web/admin_password.h"

#include <sodium.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <mutex>
#include <stdexcept>

#include "server/store.h"
#include "server/text_codec.h"

namespace srv::web {

namespace {

void needSodium() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
}

// Turns terminal echo off while the password is typed.
class NoEcho {
public:
    NoEcho() {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) return;
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        active = tcsetattr(STDIN_FILENO, TCSANOW, &quiet) == 0;
    }
    ~NoEcho() {
        if (active) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }

private:
    termios saved{};
    bool active = false;
};

}  // namespace

std::string hashPassword(const std::string& password) {
    needSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("not enough memory to hash the password");
    return hash;
}

bool verifyPassword(const std::string& hash, const std::string& password) {
    static std::mutex oneAtATime;
    needSodium();
    if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES || password.size() > maxPasswordBytes) return false;
    std::lock_guard<std::mutex> guard(oneAtATime);
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string setPasswordFrom(std::istream& in, Store& store) {
    std::string password;
    {
        NoEcho quiet;
        if (isatty(STDIN_FILENO)) std::fputs("New operator password: ", stderr);
        std::getline(in, password);
        if (isatty(STDIN_FILENO)) std::fputs("\n", stderr);
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    if (password.size() < minPasswordBytes || password.size() > maxPasswordBytes || !validUtf8(password) ||
        hasControlBytes(password))
        throw std::invalid_argument("the password must be one line of 8 to 1024 bytes of UTF-8 text");
    store.setSetting(passwordSetting, hashPassword(password));
    return "operator password set";
}

}  // namespace srv::web
