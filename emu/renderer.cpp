// The software renderer: a full repaint of the framebuffer, window by
// window, each widget clipped to its parent's client area.
#include "emu/draw.h"
#include "emu/png_io.h"
#include "emu/screen.h"
#include "emu/theme.h"
#include "emu/widget_painter.h"

namespace emu {
namespace {

void paintTree(gPixmap& target, eWidget& widget, const eRect& clip) {
    const ePoint at = widget.getAbsolutePosition();
    const eRect outer(at, widget.getSize());
    const eRect visible = outer.intersect(clip);
    if (visible.isEmpty()) return;  // children live inside the client area, so inside this too
    const eRect rel = widget.getClientRect();
    const eRect client(at.x + rel.x, at.y + rel.y, rel.w, rel.h);
    paintWidget(PaintArea{target, visible, outer, client}, widget);
    const eRect childClip = client.intersect(visible);
    if (childClip.isEmpty()) return;
    for (eWidget* child : widget.getChildren())
        if (child && child->isVisible()) paintTree(target, *child, childClip);
}

}  // namespace

void renderScreen() {
    gPixmap& fb = gFBDC::getInstance()->getPixmap();
    const eRect screen(0, 0, fb.width(), fb.height());
    fillRect(fb, screen, screen, theme::screen);
    for (eWidget* window : topLevelWindows())
        if (window && window->isShown()) paintTree(fb, *window, screen);
}

bool writeScreenshot(const std::string& path) {
    renderScreen();
    return writePNG(gFBDC::getInstance()->getPixmap(), path);
}

}  // namespace emu
