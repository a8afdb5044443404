// Writing the settings file: the checks and cleaning of the settings
// window's input, and an all-or-nothing write.
#pragma once
#include "host/estring.h"

enum class SaveResult {
    Saved,
    NoDirectory,  // not an existing directory (text 53)
    NoNickname,   // empty after trimming (text 54)
    WriteFailed,  // the file could not be replaced; the old one is untouched
};

// Trims the directory and checks that it opens as a directory; on success
// turns it into the stored form: one "/" at the end, no "//" anywhere.
bool normaliseDirectory(eString& directory);

// Trims the nickname and makes it safe to store and send; false when it is
// empty after trimming.
bool cleanNickname(eString& nickname);

// The file's three lines. A language other than 2 or 3 is written as 1.
eString settingsText(int language, const eString& directory, const eString& nickname);

// Replaces `path` with `content` through a temporary file beside it, synced
// before the rename; the new file keeps the old one's permission bits. On
// failure the old file is left as it was and the temporary file is removed.
bool writeFileAtomically(const char* path, const eString& content);

// The whole save, checks in the order directory, then nickname. Writes the
// settings file only when every check passes; touches no global.
SaveResult saveSettings(int language, eString directory, eString nickname);
