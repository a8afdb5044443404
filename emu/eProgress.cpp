// eProgress: a bar whose filled part starts at `start` per cent and is
// `perc` per cent long. Values are kept as given; the renderer clamps.
#include "emu/widget_private.h"

eProgress::eProgress(eWidget* parent, int takeFocus) : eDecoWidget(parent, takeFocus, "eProgress") {}

void eProgress::setStart(int percent) { start = percent; }

void eProgress::setPerc(int percent) { perc = percent; }

void eProgress::setParams(int s, int size) {
    start = s;
    perc = size;
}

int eProgress::getStart() const { return start; }

int eProgress::getPerc() const { return perc; }
