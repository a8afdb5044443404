// Reads an XML list of news feeds (root "feeds") into feed entries.
#pragma once
#include <cstdint>
#include <list>
#include "host/estring.h"
#include "host/sigc_compat.h"

struct ConfigItem {
    int32_t index = 0;
    eString name;
    eString url;
};

class ConfigParser : public virtual SigC::Object {
public:
    virtual ~ConfigParser();
    // Appends the feeds of `file`; 1 on success, 0 after a message box.
    int parse(eString file);
    void save(ConfigItem item);

    std::list<ConfigItem> items;
};
