// The one form under which nicknames are compared: a ban holds for every
// spelling that looks or reads the same.
#pragma once
#include <string>

namespace srv {

// `nick` under Unicode NFKC case folding (full-width and compatibility
// forms, letter case, composed or decomposed accents), without default
// ignorable characters (zero-width, soft hyphen, bidi controls, variation
// selectors), with Cyrillic and Greek letters that look Latin spelled as
// the Latin letter, and without blanks or "_" at either end (the plug-in
// sends typed blanks as "_"). Applying it twice changes nothing. Bytes that
// are not UTF-8 come back as they are.
std::string banKey(const std::string& nick);

}  // namespace srv
