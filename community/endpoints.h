// Every request URL of the plug-in, built in one place. The base address is
// a build setting (LUMEN_BASE_ADDRESS).
#pragma once
#include "host/estring.h"

namespace endpoints {
eString baseAddress();
eString englishFeed();                 // op=outmerss
eString italianFeed();                 // op=outmerss&tn=3
eString article(const eString& link);  // the item's link without "&Itemid=99999999"
eString shoutList();                   // op=outme
eString postShout(const eString& nickname, const eString& message);  // op=inme&n=..&p=..
eString statistics();                  // op=outmestats2
eString category(const eString& name); // op=outcat&cat=..
eString fileDetail(int id);            // op=outfile&idf=..
eString fileDownload(const eString& name);  // /lumennews/files/..
// %XX for every byte outside A-Z a-z 0-9 - . _ ~
eString percentEncode(const eString& text);
}  // namespace endpoints
