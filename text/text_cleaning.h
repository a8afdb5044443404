// Cleaning of server text and user input: entity decoding, replacement,
// tag removal and trimming. Byte-exact, linear in the text's length.
#pragma once
#include "host/estring.h"

// Replaces every occurrence of `pattern` (non-empty) by `replacement` (not
// longer than pattern) in the NUL-terminated `text`, in place, left to
// right; replaced text is not searched again.
void replace(char* text, const char* pattern, const char* replacement);

// Decodes the 82 entities of the entity table, row by row, in place.
void replace_sonderzeichen(char* text);
// The same on a string, whose length is cut to the cleaned text.
void replace_sonderzeichen(eString& text);

// Replaces `pattern` (non-empty, not inside replacement) until none is left.
eString replaceAll(eString text, eString pattern, eString replacement);

// Copies the text outside tags; returns the input when nothing is left.
eString removeTags(eString text);
// Deletes tags, always the first "<" with a ">" after it.
eString stripHTMLTags(eString text);
// Strips blanks (0x20 only) at both ends; a text of n blanks keeps n - 1.
void trim1(eString& text);

// At most the first `maxBytes` bytes of the UTF-8 `text`, cut before a
// character that would not fit whole.
eString utf8Prefix(eString text, size_t maxBytes);
// The same, also cut before an entity ("&name;", "&#x263A;") that the cut
// would split: a kept "&#x" means nothing and shows as noise.
eString textPrefix(eString text, size_t maxBytes);

// The six substitutions that make a nickname or shout message safe to store
// and send, in this order: blank -> "_", tab -> "_", "&" -> "e", double
// quote deleted, "/" -> "_", "?" -> "_".
eString substituteForRequest(eString text);
