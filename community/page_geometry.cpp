#include "community/page_geometry.h"

namespace community {
int layoutPage(eWidget* visible, eLabel* label) {
    float line = fontRenderClass::getInstance()->getLineHeight(label->getFont());
    eSize area = visible->getSize();
    int page = line > 0 ? static_cast<int>(static_cast<float>(static_cast<int>(area.h / line)) * line) : area.h;
    if (page < 1) page = 1;
    visible->resize(eSize(area.w, page + static_cast<int>(line / 6)));
    label->resize(eSize(area.w, 14 * page));
    label->hide();
    label->move(ePoint(0, 0));
    return page;
}
}  // namespace community
