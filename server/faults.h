// Puts a reply into the HTTP response, either as it is or bent by the
// test-only fault the command line chose.
#pragma once
#include <httplib.h>

#include "server/options.h"
#include "server/site.h"
#include "server/stop_signal.h"

namespace srv {

// A download is streamed from its file and counted in `site` once sent whole.
void sendReply(const Reply& reply, Site& site, httplib::Response& response);
// `stop` ends a stalled or junk body when the server shuts down.
void sendFault(const Options& options, const Reply& reply, StopSignal& stop, httplib::Response& response);

// Whether the fault sends (part of) the site's own reply.
bool faultUsesReply(Fault fault);

// The junk byte at `offset`: random-looking, but the same on every run.
unsigned char junkByte(size_t offset);

}  // namespace srv
