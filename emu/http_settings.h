// Settings of the emulated HTTP client that the runner passes on.
#pragma once
#include <string>

namespace emu {
// "HOST:PORT:HOST2:PORT2": requests for HOST:PORT go to HOST2:PORT2, as
// curl's --connect-to does. Empty: none. Applies to transfers started later.
void setHttpConnectTo(const std::string& spec);
// Connect time-out in milliseconds and the time without a single byte after
// which a transfer is given up, for transfers started later. Defaults: 10 s
// and 30 s; a value <= 0 restores the default. Tests shorten them.
void setHttpTimeouts(long connectMs, long stallSeconds);
// Bytes of a response body beyond which a transfer fails with
// eHTTPConnection::errorTooLarge (its temporary file removed), for
// transfers started later. Default 64 MiB; a value <= 0 restores it.
void setHttpMaxReplyBytes(long long bytes);
// Removes the temporary download files (NAME.part-*) in the box directory
// `boxDir` that were last written before `since`: left by an earlier run.
void removeStaleParts(const std::string& boxDir, const struct timespec& since);
}  // namespace emu
