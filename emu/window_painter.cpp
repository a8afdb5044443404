// Windows, labels and message-box icons, and the choice of painter.
#include <algorithm>
#include <cmath>

#include "emu/draw.h"
#include "emu/screen.h"
#include "emu/text_engine.h"
#include "emu/theme.h"
#include "emu/widget_painter.h"

namespace emu {

gFont fontOf(const eWidget& widget) {
    const gFont& own = widget.getFont();
    if (own.pointSize > 0) return own;
    return eSkin::getActive()->queryFont("eLabel");
}

gFont boldOf(const gFont& font) {
    if (font.family.find("Bold") != std::string::npos) return font;
    return gFont(font.family + " Bold", font.pointSize);
}

int centredTextTop(const gFont& font, int height) {
    return (height - static_cast<int>(lineHeight(font))) / 2;
}

eWidget* activeWindow() {
    // Keys go to the innermost modal window; with none running, the
    // topmost shown window is the one in front.
    if (!execStack().empty()) return execStack().back();
    const auto& windows = topLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (*it && (*it)->isShown()) return *it;
    return nullptr;
}

void paintWidget(const PaintArea& area, eWidget& widget) {
    // Most derived classes first: a message box is a window, a text field
    // and a combo box are buttons, a button is a label.
    if (dynamic_cast<eWindow*>(&widget)) return paintWindow(area, widget, &widget == activeWindow());
    if (auto* field = dynamic_cast<eTextInputField*>(&widget)) return paintTextInput(area, *field);
    if (auto* box = dynamic_cast<eComboBox*>(&widget)) return paintComboBox(area, *box);
    if (auto* button = dynamic_cast<eButton*>(&widget)) return paintButton(area, *button);
    if (auto* label = dynamic_cast<eLabel*>(&widget)) {
        // The message box's icon is a label holding the symbol.
        if (dynamic_cast<eMessageBox*>(widget.getParent()) && widget.getName() == "icon")
            return paintMessageIcon(area, *label);
        return paintLabel(area, *label);
    }
    if (auto* list = dynamic_cast<eListBoxBase*>(&widget)) return paintListBox(area, *list);
    if (auto* bar = dynamic_cast<eProgress*>(&widget)) return paintProgress(area, *bar);
    // Plain widgets only clip their children; show focus if one takes it.
    if (widget.takesFocus() && widget.hasFocus())
        frameRect(area.target, area.clip, area.outer, 2, theme::focusFace);
}

void paintWindow(const PaintArea& a, eWidget& window, bool active) {
    fillRect(a.target, a.clip, a.outer, theme::windowBorder);
    const int border = a.client.x - a.outer.x;
    const int titleHeight = a.client.y - a.outer.y - border;
    if (titleHeight > 4) {
        eRect title(a.outer.x + border, a.outer.y + border, a.outer.w - 2 * border, titleHeight);
        fillGradient(a.target, a.clip, title, active ? theme::titleActiveTop : theme::titleInactiveTop,
                     active ? theme::titleActiveBottom : theme::titleInactiveBottom);
        gFont font = boldOf(fontOf(window));
        font.pointSize = std::min(font.pointSize, std::max(titleHeight - 10, 8));
        eRect textClip = title.intersect(a.clip);
        textClip.w = std::max(0, textClip.w - 8);
        drawLine(a.target, textClip, ePoint(title.x + 10, title.y + centredTextTop(font, titleHeight)), font,
                 window.getText(), theme::titleText);
    }
    fillRect(a.target, a.clip, a.client, theme::windowClient);
}

namespace {
enum class Align { left, centre, right };

Align alignOf(const eWidget& w) {
    eString value = w.getProperty("align");
    if (value == "center" || value == "centre") return Align::centre;
    if (value == "right") return Align::right;
    return Align::left;
}

int alignedX(Align align, int boxWidth, int itemWidth) {
    // A line wider than the box keeps its beginning readable.
    if (itemWidth >= boxWidth) return 0;
    if (align == Align::centre) return (boxWidth - itemWidth) / 2;
    if (align == Align::right) return boxWidth - itemWidth;
    return 0;
}
}  // namespace

void paintLabel(const PaintArea& a, eLabel& label) {
    const eRect inside = a.client.intersect(a.clip);
    const Align align = alignOf(label);
    if (const gPixmapPtr& pixmap = label.getPixmap()) {
        ePoint at = label.getPixmapPosition();
        // Centred pixmaps are centred across the label; the position still
        // gives the top.
        if (align != Align::left) at.x = alignedX(align, a.client.w, pixmap->width());
        blitPixmap(a.target, inside, ePoint(a.client.x + at.x, a.client.y + at.y), *pixmap,
                   (label.getBlitFlags() & 1) != 0);
    }
    const eString& text = label.getText();
    if (!text.empty()) {
        const gFont font = fontOf(label);
        // Same wrap width as eLabel::getExtend, so scrolled pages line up.
        const int wrap = (label.getFlags() & eLabel::flagWrap) ? std::max(a.client.w, 1) : 0;
        const int step = static_cast<int>(lineHeight(font));
        int y = a.client.y;
        for (const TextLine& line : layoutText(font, text, wrap)) {
            if (y >= inside.bottom()) break;
            if (y + step > inside.top())
                drawLine(a.target, inside, ePoint(a.client.x + alignedX(align, a.client.w, line.width), y), font,
                         line.text, theme::text);
            y += step;
        }
    }
    if (label.takesFocus() && label.hasFocus()) frameRect(a.target, a.clip, a.outer, 2, theme::focusFace);
}

void paintMessageIcon(const PaintArea& a, eLabel& icon) {
    const eRect inside = a.client.intersect(a.clip);
    const std::string symbol = icon.getText();
    const int size = std::min(a.client.w, a.client.h);
    const eRect box(a.client.x + (a.client.w - size) / 2, a.client.y + (a.client.h - size) / 2, size, size);
    uint32_t symbolColour = theme::titleText;
    if (symbol == "!") {
        fillTriangle(a.target, inside, box, theme::iconWarning);
        symbolColour = theme::iconDarkSymbol;
    } else {
        uint32_t colour = symbol == "X" ? theme::iconError : symbol == "?" ? theme::iconQuestion : theme::iconInfo;
        fillCircle(a.target, inside, ePoint(box.x + size / 2, box.y + size / 2), size / 2 - 1, colour);
    }
    gFont font = boldOf(fontOf(icon));
    font.pointSize = std::max(size * 3 / 5, 8);
    const int w = lineWidth(font, symbol);
    // The warning sign's symbol sits low, where the triangle is wide.
    const int top = box.y + centredTextTop(font, size) + (symbol == "!" ? size / 8 : 0);
    drawLine(a.target, inside, ePoint(box.x + (size - w) / 2, top), font, symbol, symbolColour);
}

}  // namespace emu
