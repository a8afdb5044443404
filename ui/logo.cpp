#include "ui/logo.h"
#include "ui/message.h"

bool showLogo(eLabel* label, const char* path, ePoint position, eSize size) {
    gPixmapPtr logo = loadPNG(path);
    if (!logo) {
        showMessage(tr("Error loading logo"), tr("Error"), warningBoxFlags);
        return false;
    }
    {
        gPixmapDC dc(logo.get());
        gPainter painter(dc, eRect());
        painter.mergePalette(gFBDC::getInstance()->getPixmap());
    }
    label->move(position);
    label->resize(size);
    label->setBlitFlags(1);
    label->setProperty("align", "center");
    label->setPixmap(logo);
    label->setPixmapPosition(ePoint(1, 1));
    return true;
}
