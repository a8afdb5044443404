#include "ui/page_scroller.h"
#include <cstdlib>
#include "host/ewidget.h"

void PageScroller::update() {
    int textHeight = label->getExtend().height();
    int pages = 1, range = page;
    while (range < textHeight) {
        ++pages;
        range += page;
    }
    scrollRange = range;
    int y = label->getPosition().y;
    bar->setParams((-100 * y) / range, (100 * page) / range);
    bar->show();
    if (pages == 1) scrollRange = 0;
}

bool PageScroller::up() {
    if (scrollRange == 0) return false;
    ePoint pos = label->getPosition();
    if (pos.y >= 0) return false;
    label->move(ePoint(pos.x, pos.y + page));
    update();
    return true;
}

bool PageScroller::down() {
    if (scrollRange == 0) return false;
    ePoint pos = label->getPosition();
    if (std::abs(pos.y - page) > scrollRange - page) return false;
    label->move(ePoint(pos.x, pos.y - page));
    update();
    return true;
}

void PageScroller::reset() {
    ePoint pos = label->getPosition();
    label->move(ePoint(pos.x, 0));
}
