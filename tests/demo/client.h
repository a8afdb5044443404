// One GET to the demo server, sent as the plug-in sends it: the target
// byte for byte, User-Agent CORVANENEWS, the box's host name.
#pragma once
#include <httplib.h>

#include <string>

#include "tests/support/demo_server.h"

inline httplib::Result fetch(const DemoServer& server, const std::string& target) {
    httplib::Client client("127.0.0.1", server.port());
    client.set_url_encode(false);
    client.set_connection_timeout(3, 0);
    client.set_read_timeout(10, 0);
    return client.Get(target, {{"User-Agent", "CORVANENEWS"}, {"Host", "news.corvane.example"}});
}

inline const char* const script = "/lumennews/index.php";
