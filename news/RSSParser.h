// Reads an RSS 2.0 or RSS 1.0 file into cleaned news items.
#pragma once
#include <cstdint>
#include <list>
#include "host/estring.h"
#include "host/sigc_compat.h"

struct NewsItem {
    int32_t index = 0;
    eString title;
    eString description;
    eString date;
    eString link;
};

class RSSParser : public virtual SigC::Object {
public:
    virtual ~RSSParser();
    // Empties `items`, then fills it from `file`; problems are shown in a
    // message box and leave `items` empty.
    void parse(eString file);
    void save(NewsItem item);

    std::list<NewsItem> items;
};
