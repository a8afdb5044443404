// Puts the plug-in's logos from assets/ into a test's box root.
#pragma once
#include <string>
#include "settings/paths.h"
#include "tests/support/box_root.h"

inline void installLogos(const BoxRoot& root) {
    root.copyFixture(std::string(LUMEN_ASSETS_RELATIVE) + "/LumenNews.png", paths::logo);
    root.copyFixture(std::string(LUMEN_ASSETS_RELATIVE) + "/LumenNews2.png", paths::aboutLogo);
}
