// What the two XML readers of news/ share: the declared encoding of a file
// and the streaming of the file into the host's XML parser.
#pragma once
#include <cstddef>
#include <cstdio>
#include <memory>
#include "host/estring.h"
#include "host/xmltree.h"
#include "net/reply_file.h"

namespace feedreading {

// Files go to the XML parser in pieces of this size; only the first one is
// searched for the encoding declaration.
inline constexpr size_t chunkSize = 2048;
// The longest encoding name kept (the name buffer of the box is 256 bytes).
inline constexpr size_t maxEncodingName = 255;
// A feed is a few tens of kilobytes; a file larger than this is refused
// like a syntax error, since its tree would hold it all in memory.
inline constexpr size_t maxFeedBytes = 4 * 1024 * 1024;
// Item titles and dates are cut to these many bytes (never inside a
// character): a list line shows a few dozen characters, and the date is
// kept but not shown.
inline constexpr size_t maxTitleBytes = 256;
inline constexpr size_t maxDateBytes = 128;
// Descriptions are kept but not shown: those of one feed hold at most this
// much text in all, a few times what a feed of a few hundred items carries;
// the rest is cut. The XML tree already holds them (twice the file's size
// for an ISO-8859-1 feed, in UTF-8) while the items are made, so a larger
// share would take the plug-in past its memory bound.
inline constexpr size_t maxDescriptionTotal = 1024 * 1024;
// A link longer than this is no article address a server would take; it is
// dropped, so that opening its item fails like an empty link.
inline constexpr size_t maxLinkBytes = 2048;
// A feed is read by scrolling a list with the remote control; the items
// after these are dropped.
inline constexpr size_t maxItems = 500;
// The "Unknown file format" box names the root element whole: the XML
// parser refuses longer names.
inline constexpr size_t maxShownRootName = XMLTreeParser::maxNameLength;

// The name that follows "encoding=" in `chunk`, between the first quote at
// or after it and the next quote of the same kind. False when there is no
// declaration, when its closing quote is not in the chunk, or when the name
// is longer than maxEncodingName.
bool declaredEncoding(const char* chunk, size_t length, eString& name);

// For the RSS parser: "UTF-8" for a declared utf-8 in any letter case,
// "ISO-8859-1" for everything else.
eString rssEncoding(const char* chunk, size_t length);
// For the feed-list parser: the declared name as it stands, "ISO-8859-1"
// when there is none that fits.
eString configEncoding(const char* chunk, size_t length);

using File = replies::File;

// Feeds `parser` the `length` bytes already in `chunk` (a buffer of
// chunkSize bytes), then the rest of `file` chunk by chunk. A chunk shorter
// than chunkSize is the last one, so a file whose size is a multiple of
// chunkSize ends with an empty last chunk. False on a syntax error, or once
// more than maxFeedBytes have been read; nothing is read after it.
bool streamInto(XMLTreeParser& parser, std::FILE* file, char* chunk, size_t length);

// The element's character data; empty when it has none.
eString nodeText(const XMLTreeNode* node);
// True when the element's name is exactly `name`.
bool isNamed(const XMLTreeNode* node, const char* name);

}  // namespace feedreading
