// eLabel: text (one line, or word-wrapped at the label's width) and an
// optional pixmap.
#include "emu/text_engine.h"
#include "emu/widget_private.h"

eLabel::eLabel(eWidget* parent, int flags, int takeFocus, const char* decoration)
    : eDecoWidget(parent, takeFocus, decoration), flags(flags) {}

void eLabel::setFlags(int more) { flags |= more; }

int eLabel::getFlags() const { return flags; }

eSize eLabel::getExtend() {
    int wrapWidth = (flags & flagWrap) ? getClientSize().w : 0;
    // A wrapped label without width would lay out unwrapped; one pixel keeps
    // it wrapping (a character a line), as a narrow label does.
    if ((flags & flagWrap) && wrapWidth <= 0) wrapWidth = 1;
    return emu::textExtent(getFont(), getText(), wrapWidth);
}

void eLabel::setBlitFlags(int f) { blitFlags = f; }

int eLabel::getBlitFlags() const { return blitFlags; }

void eLabel::setPixmapPosition(ePoint position) { pixmapPosition = position; }

ePoint eLabel::getPixmapPosition() const { return pixmapPosition; }

void eLabel::setShortcutPixmap(const eString& keyName) { shortcutPixmap = keyName; }

const eString& eLabel::getShortcutPixmap() const { return shortcutPixmap; }
