#include "emu/http_settings.h"
#include "emu/http_multi.h"

namespace emu {

void setHttpConnectTo(const std::string& spec) { HttpMulti::options().connectTo = spec; }

void setHttpTimeouts(long connectMs, long stallSeconds) {
    HttpOptions& options = HttpMulti::options();
    options.connectTimeoutMs = connectMs > 0 ? connectMs : 10000;
    options.stallSeconds = stallSeconds > 0 ? stallSeconds : 30;
}

}  // namespace emu
