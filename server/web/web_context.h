// What the web pages share: the site (for posts and the statistics), the
// store, their settings and a cache of finished page parts.
#pragma once
#include <cstddef>
#include <string>

#include "server/reply_cache.h"

namespace srv {
class Site;
class Store;
}  // namespace srv

namespace srv::web {

struct WebSettings {
    std::string filesDir;
    size_t uploadMaxBytes = 64 * 1024 * 1024;
};

struct WebContext {
    Site& site;
    Store& store;
    WebSettings settings;
    // Page parts by name; dropped whenever the store changes.
    ReplyCache<std::string> fragments;
};

}  // namespace srv::web
