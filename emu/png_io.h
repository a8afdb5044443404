// PNG files for the emulated screen: screenshots and reference images.
// Reading is loadPNG (host/graphics.h).
#pragma once
#include <string>
#include "host/graphics.h"

namespace emu {
// Writes `pixmap` as an 8-bit RGBA PNG; false (and no file left behind)
// when the file cannot be written.
bool writePNG(const gPixmap& pixmap, const std::string& path);
}  // namespace emu
