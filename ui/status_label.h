// The label under a window's controls that says a request is running.
#pragma once
#include "host/ewidget.h"

// A label of `window` (owned by it) at `top`, across the client area less
// a margin on both sides, `height` tall, its decoration loaded.
eLabel* addStatusLabel(eWidget* window, int top, int height);
