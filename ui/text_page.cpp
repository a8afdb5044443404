#include "ui/text_page.h"
#include <algorithm>

int layOutTextPage(eWidget* visible, eLabel* label, const PageRule& rule) {
    // At least one line of at least one pixel: whatever the font, a page.
    const float line = std::max(1.0f, fontRenderClass::getInstance()->getLineHeight(label->getFont()));
    const eSize area = visible->getSize();
    int lines = rule.countWithWholePixelLines ? area.height() / static_cast<int>(line)
                                              : static_cast<int>(area.height() / line);
    lines = std::max(1, lines);
    const int page = static_cast<int>(static_cast<float>(lines) * line);
    const int areaHeight = page + static_cast<int>(line / static_cast<float>(rule.extraLineDivisor));
    visible->resize(eSize(area.width(), areaHeight));
    const int step = rule.stepIsWholeArea ? areaHeight : page;
    label->resize(eSize(area.width(), labelSteps * step));
    return step;
}
