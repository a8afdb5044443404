#include "news/ConfigParser.h"
#include <cstring>
#include "host/xmltree.h"
#include "news/feed_reading.h"
#include "text/text_cleaning.h"
#include "ui/message.h"

namespace {

int fail(const char* text) {
    showMessage(tr(text), tr("User Abort"), warningBoxFlags);
    return 0;
}

}  // namespace

ConfigParser::~ConfigParser() = default;

void ConfigParser::save(ConfigItem item) { items.push_back(std::move(item)); }

int ConfigParser::parse(eString file) {
    feedreading::File in(std::fopen(file.c_str(), "rt"));
    if (!in) return fail("Config file not found");

    char chunk[feedreading::chunkSize];
    size_t length = std::fread(chunk, 1, sizeof chunk, in.get());
    eString encoding = feedreading::configEncoding(chunk, length);
    auto parser = std::make_unique<XMLTreeParser>(encoding.c_str());
    bool ok = feedreading::streamInto(*parser, in.get(), chunk, length);
    in.reset();
    if (!ok) return fail("Configfile parse error");

    const XMLTreeNode* root = parser->RootNode();
    if (!root) return fail("Configfile parse error");
    if (!feedreading::isNamed(root, "feeds")) return fail("Invalid configfile");

    int32_t counter = 0;
    for (const XMLTreeNode* feed = root->GetChild(); feed; feed = feed->GetNext()) {
        if (!feedreading::isNamed(feed, "feed")) continue;
        // Every feed starts empty: a missing element leaves its field empty
        // rather than repeating the previous feed's.
        ConfigItem item;
        for (const XMLTreeNode* child = feed->GetChild(); child; child = child->GetNext()) {
            if (feedreading::isNamed(child, "name")) {
                item.name = feedreading::nodeText(child);
                replace_sonderzeichen(item.name);
            } else if (feedreading::isNamed(child, "url")) {
                item.url = feedreading::nodeText(child);
            }
        }
        item.index = counter++;
        save(std::move(item));
    }
    return 1;
}
