// Text on the emulated screen: FreeType with DejaVu Sans, UTF-8 throughout.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "host/graphics.h"

namespace emu {

// Loads the font files once; false (and a one-line message on stderr) when
// the DejaVu font is missing.
bool initFonts();

float lineHeight(const gFont& font);

struct TextLine {
    std::string text;  // UTF-8, without the line break
    int width;         // pixels
};
// Lays `text` out: breaks at line feeds, and, when wrapWidth > 0, wraps at
// blanks (a word wider than the line is broken between characters). Tabs
// advance to the next multiple of 8 blank widths.
std::vector<TextLine> layoutText(const gFont& font, const std::string& text, int wrapWidth);
// Width of the widest line by the height of all lines.
eSize textExtent(const gFont& font, const std::string& text, int wrapWidth);

// Draws laid-out text with its top-left corner at `origin`, clipped to `clip`.
// Colours are 0xRRGGBBAA.
void drawText(gPixmap& target, const eRect& clip, ePoint origin, const gFont& font,
              const std::string& text, int wrapWidth, uint32_t rgba);

// One line as it stands (no breaking): its width, and drawing it with its
// top-left corner at `origin`. For centred or right-aligned lines.
int lineWidth(const gFont& font, const std::string& line);
void drawLine(gPixmap& target, const eRect& clip, ePoint origin, const gFont& font,
              const std::string& line, uint32_t rgba);

}  // namespace emu
