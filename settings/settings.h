// The three settings of the running plug-in and the settings file.
#pragma once
#include "host/estring.h"

// Exported under these exact names. Only retrieveConfig assigns them.
extern "C" {
extern int CORLANG;      // 1 English, 2 French, 3 Italian
extern eString CORDDIR;  // download directory, ends with "/"
extern eString CORNICK;  // shoutbox nickname
}

// Reads the settings file into the globals, then applies the defaults
// (language 1, "/var/tmp/", "Guest"). Never fails, shows nothing.
void retrieveConfig();
