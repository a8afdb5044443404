// Pixmaps, device contexts and painters. Everything is true colour, so the
// palette calls of the host's interface have nothing to do.
#include "host/graphics.h"

#include <algorithm>

namespace {
constexpr int kScreenWidth = 720;
constexpr int kScreenHeight = 576;
}  // namespace

gPixmap::gPixmap(int width, int height)
    : size(std::max(width, 0), std::max(height, 0)),
      pixels(static_cast<size_t>(size.w) * static_cast<size_t>(size.h) * 4, 0) {}

gFBDC::gFBDC() : gPixmapDC(nullptr), framebuffer(kScreenWidth, kScreenHeight) {
    pixmap = &framebuffer;
}

gFBDC* gFBDC::getInstance() {
    static gFBDC instance;
    return &instance;
}

gPainter::gPainter(gPixmapDC& dc, eRect clip) : dc(dc), clipRect(clip) {}

void gPainter::mergePalette(gPixmap&) {}
