// Putting a logo image into a label, the way every window with a logo does.
#pragma once
#include "host/ewidget.h"

// Loads the PNG at `path`, merges the frame buffer's palette into it and
// shows it in `label`, placed at `position` with `size`. When the image does
// not load, shows the "Error loading logo" box and leaves the label as it
// was. Returns whether the logo is shown.
bool showLogo(eLabel* label, const char* path, ePoint position, eSize size);

// The banner logo across the top of the main menu and the statistics.
inline constexpr int bannerLogoWidth = 520;
inline constexpr int bannerLogoHeight = 125;
