// eWidget: the widget tree, geometry and plain attributes. Focus and modal
// runs live in widget_focus.cpp and widget_exec.cpp.
#include <algorithm>
#include "emu/widget_private.h"

eWidget::eWidget(eWidget* parent, int takeFocus) : d(new Private) {
    d->parent = parent;
    d->takeFocus = takeFocus;
    d->font = eSkin::getActive()->queryFont("eWindow");
    if (parent) {
        // Children are visible unless hidden; they appear with their window.
        d->visible = true;
        parent->d->children.push_back(this);
    } else {
        emu::registerTopLevel(this);
    }
}

eWidget::~eWidget() {
    // Forget the focus if it points into the part of the tree that goes now.
    if (eWidget* tlw = getTLW(); tlw && tlw->d->focus) {
        for (eWidget* w = tlw->d->focus; w; w = w->d->parent)
            if (w == this) {
                tlw->d->focus = nullptr;
                break;
            }
    }
    // Each child unlinks itself from `children` in its own destructor.
    while (!d->children.empty()) delete d->children.back();
    if (d->parent) {
        auto& siblings = d->parent->d->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    } else {
        emu::unregisterTopLevel(this);
    }
    if (d->loop) {
        // Destroyed inside its own modal run: end it; exec() must not touch us.
        eMainloop::exit(*d->loop, -1);
        emu::popExec(this);
        if (d->destroyedWhileRunning) *d->destroyedWhileRunning = true;
    }
    delete d;
}

void eWidget::move(ePoint position) { d->position = position; }

void eWidget::resize(eSize size) { d->size = size; }

void eWidget::cmove(ePoint clientPosition) {
    d->position = ePoint(clientPosition.x - d->frame.left, clientPosition.y - d->frame.top);
}

void eWidget::cresize(eSize clientSize) {
    d->size = eSize(clientSize.w + d->frame.left + d->frame.right,
                    clientSize.h + d->frame.top + d->frame.bottom);
}

ePoint eWidget::getPosition() const { return d->position; }

eSize eWidget::getSize() const { return d->size; }

eSize eWidget::getClientSize() const {
    int w = d->size.w - d->frame.left - d->frame.right;
    int h = d->size.h - d->frame.top - d->frame.bottom;
    return eSize(std::max(w, 0), std::max(h, 0));
}

eRect eWidget::getClientRect() const {
    return eRect(ePoint(d->frame.left, d->frame.top), getClientSize());
}

ePoint eWidget::getAbsolutePosition() const {
    if (!d->parent) return d->position;
    ePoint origin = d->parent->getAbsoluteClientPosition();
    return ePoint(origin.x + d->position.x, origin.y + d->position.y);
}

ePoint eWidget::getAbsoluteClientPosition() const {
    ePoint p = getAbsolutePosition();
    return ePoint(p.x + d->frame.left, p.y + d->frame.top);
}

void eWidget::show() { d->visible = true; }

void eWidget::hide() { d->visible = false; }

bool eWidget::isVisible() const { return d->visible; }

bool eWidget::isShown() const {
    for (const eWidget* w = this; w; w = w->d->parent)
        if (!w->d->visible) return false;
    return true;
}

void eWidget::setText(const eString& text) { d->text = text; }

const eString& eWidget::getText() const { return d->text; }

void eWidget::setName(const eString& name) { d->name = name; }

const eString& eWidget::getName() const { return d->name; }

void eWidget::setFont(const gFont& font) { d->font = font; }

const gFont& eWidget::getFont() const { return d->font; }

void eWidget::setShortcut(const eString& keyName) { d->shortcut = keyName; }

const eString& eWidget::getShortcut() const { return d->shortcut; }

void eWidget::setProperty(const eString& property, const eString& value) {
    d->properties[property] = value;
}

eString eWidget::getProperty(const eString& property) const {
    auto it = d->properties.find(property);
    return it == d->properties.end() ? eString() : it->second;
}

void eWidget::setPixmap(gPixmapPtr pixmap) { d->pixmap = std::move(pixmap); }

const gPixmapPtr& eWidget::getPixmap() const { return d->pixmap; }

int eWidget::takesFocus() const { return d->takeFocus; }

eWidget* eWidget::getParent() const { return d->parent; }

eWidget* eWidget::getTLW() {
    eWidget* w = this;
    while (w->d->parent) w = w->d->parent;
    return w;
}

const std::vector<eWidget*>& eWidget::getChildren() const { return d->children; }

int eWidget::eventHandler(const eWidgetEvent&) { return 0; }

void eWidget::redrawWidget(gPainter*, const eRect&) {
    // Drawing is the renderer's: it walks the tree when a screenshot is taken.
}

namespace emu {

void collectDescendants(const eWidget* root, std::vector<eWidget*>& out) {
    for (eWidget* child : root->getChildren()) {
        out.push_back(child);
        collectDescendants(child, out);
    }
}

}  // namespace emu
