// Message boxes and fixed English texts, the same way everywhere.
#pragma once
#include "host/estring.h"
#include "host/ewidget.h"

// The flags of every error, warning and confirmation box: an OK button and
// the warning icon.
inline constexpr int warningBoxFlags = eMessageBox::btOK | eMessageBox::iconWarning;

// A fixed English text through the message catalogue (default domain,
// LC_MESSAGES).
eString tr(const char* text);

// Shows a modal message box, runs it, hides and destroys it; returns what
// exec returned. Default button 1, no time-out.
int showMessage(const eString& text, const eString& caption, int flags);
