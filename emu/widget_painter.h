// Painting one widget of each kind onto the framebuffer. The renderer walks
// the widget tree and calls these; they draw only what the widget itself
// shows (children come after, clipped to its client area).
#pragma once
#include <string>
#include "host/ewidget.h"

namespace emu {

struct PaintArea {
    gPixmap& target;
    eRect clip;    // the part of the screen this widget may touch
    eRect outer;   // its outer frame on the screen
    eRect client;  // its client area on the screen
};

// Picks the painter by class.
void paintWidget(const PaintArea& area, eWidget& widget);

// Window painters (window_painter.cpp).
// The window whose title shows it takes the keys.
eWidget* activeWindow();
void paintWindow(const PaintArea& area, eWidget& window, bool active);
void paintLabel(const PaintArea& area, eLabel& label);
void paintMessageIcon(const PaintArea& area, eLabel& icon);

// Control painters (control_painter.cpp).
void paintButton(const PaintArea& area, eButton& button);
void paintComboBox(const PaintArea& area, eComboBox& box);
void paintTextInput(const PaintArea& area, eTextInputField& field);
void paintListBox(const PaintArea& area, eListBoxBase& list);
void paintProgress(const PaintArea& area, eProgress& bar);

// The font a widget draws with: its own, or the skin's label font.
gFont fontOf(const eWidget& widget);
gFont boldOf(const gFont& font);
// Top offset that centres one text line in `height` pixels.
int centredTextTop(const gFont& font, int height);

}  // namespace emu
