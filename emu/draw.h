// Drawing primitives of the software renderer, on RGBA pixmaps. Colours
// are 0xRRGGBBAA; everything is clipped to `clip` and to the pixmap, and
// colours with alpha below 255 blend over what is there.
#pragma once
#include <cstdint>
#include "host/graphics.h"

namespace emu {

void fillRect(gPixmap& target, const eRect& clip, const eRect& rect, uint32_t rgba);
// A frame of `thickness` pixels just inside `rect`.
void frameRect(gPixmap& target, const eRect& clip, const eRect& rect, int thickness, uint32_t rgba);
// Top to bottom from `top` to `bottom`.
void fillGradient(gPixmap& target, const eRect& clip, const eRect& rect, uint32_t top, uint32_t bottom);
// Anti-aliased shapes.
void fillRoundRect(gPixmap& target, const eRect& clip, const eRect& rect, int radius, uint32_t rgba);
void fillCircle(gPixmap& target, const eRect& clip, ePoint centre, int radius, uint32_t rgba);
// A triangle pointing up, filling `rect`.
void fillTriangle(gPixmap& target, const eRect& clip, const eRect& rect, uint32_t rgba);
// Copies `source` with its top-left corner at `at`; with alphaBlend its
// alpha channel mixes it over the target, else it is copied opaque.
void blitPixmap(gPixmap& target, const eRect& clip, ePoint at, const gPixmap& source, bool alphaBlend);

}  // namespace emu
