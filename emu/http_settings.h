// Settings of the emulated HTTP client that the runner passes on.
#pragma once
#include <string>

namespace emu {
// "HOST:PORT:HOST2:PORT2": requests for HOST:PORT go to HOST2:PORT2, as
// curl's --connect-to does. Empty: none. Applies to transfers started later.
void setHttpConnectTo(const std::string& spec);
}  // namespace emu
