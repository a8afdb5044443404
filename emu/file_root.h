// Runs the plug-in under a root directory of its own: while a root is set,
// every absolute path below /var/, /media/ or /mnt/ that the process opens,
// creates, renames, deletes or lists resolves below the root instead
// (/var/tmp/rss.tmp -> ROOT/var/tmp/rss.tmp). Other paths (fonts, test
// fixtures, /tmp) are used as they stand. Without a root, nothing changes:
// the paths are used as on a box.
//
// The redirection interposes the C library's file functions (fopen, open,
// unlink, rename, opendir, mkdir, stat, access and their 64-bit forms) in
// the executable that links the lumen_fileroot object library.
#pragma once
#include <string>

namespace emu {
void setFileRoot(const std::string& root);  // "" switches redirection off
const std::string& fileRoot();
// The path that `boxPath` resolves to under the current root.
std::string resolveBoxPath(const std::string& boxPath);
// The same for a given root (e.g. a test's own root while it is not active).
std::string resolveBoxPath(const std::string& root, const std::string& boxPath);
}  // namespace emu
