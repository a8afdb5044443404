// The skin's font size, and the controls sized by it.
#pragma once
#include "host/ewidget.h"

// The skin value "fontsize", which sizes buttons and input fields.
int skinFontSize();

// A button is one line of the skin's font tall, plus its frame.
int buttonHeight();
// A text input field is a line of the font tall, plus a wider frame.
int textFieldHeight();

// The OK button at the bottom of a window that only shows something: at
// `left`, a fixed distance above the client area's bottom, green key as
// shortcut; it closes the window with accept.
eButton* addOkButton(eWidget* window, int left);
