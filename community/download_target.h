// Where a download from the download area may go. The file name comes from
// the server, so it is checked before anything is requested or written.
#pragma once
#include <ctime>
#include "host/estring.h"

namespace downloads {

// Whether a server's file name (line end already removed) may become a file
// of its own in a directory: not empty, not "." or "..", no "/" or "\", no
// control byte (C0, DEL, or C1 in UTF-8), no bidirectional formatting
// character (it would show the name otherwise than it is stored, e.g.
// "invoice<RLO>fdp.exe" as "invoiceexe.pdf"), and not a host temporary
// file's name (those are removed at start).
bool usableName(const eString& name);

// Whether `directory` + `name` would be one of the plug-in's own files (the
// settings file, its save in progress, the reply files, the logos) or lie in
// the host's plug-in directory. Compared by path and, where they exist, by
// the directories' and files' identity, so that "//", "..", a link or a hard
// link lead to the same answer.
bool isPluginFile(const eString& directory, const eString& name);

// Both checks: the file may be written.
inline bool usableTarget(const eString& directory, const eString& name) {
    return usableName(name) && !isPluginFile(directory, name);
}

// Removes the host's temporary download files (NAME.part-PID-N, regular
// files only) last written before `since` from `directory`: called at
// start, they are a killed run's.
void removeLeftoverParts(const eString& directory, const std::timespec& since);

}  // namespace downloads
