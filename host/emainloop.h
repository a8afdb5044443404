// The host's main loop, as the plug-in sees it: an opaque object handed to
// the HTTP client. Modal loops (eWidget::exec) run nested inside it.
#pragma once
#include "host_api.h"

class eMainloop;

// The host application's main loop; alive for the whole run.
extern HOST_API eMainloop* eApp;
